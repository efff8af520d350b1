// The station's view of one sound-card mixer device: its lines (each destination followed by its
// sources) with type names and the playback flag, the controls of one line at a time, the controls
// that other parts bind for reading and writing, and a small capture stream (8000 Hz, 16-bit,
// mono, 4096-byte blocks) for the DTMF decoder. Everything runs on the main thread except
// GetControlValue and LevelNews, which the level poller uses, and the wave-data handler, which
// runs on the back end's thread.
#pragma once

#include <QObject>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "core/audio/audio_lists.h"
#include "core/audio/mixer_control_object.h"
#include "core/audio/sound_backend.h"

namespace tarvok {

// The notifications of the capture stream.
enum class TWaveMessage : std::uint32_t { Open = 0x3BE, Close = 0x3BF, Data = 0x3C0 };

// Type name of a line by its component type, from the source table for a source line and from the
// destination table otherwise; "NOT VALID" (and ok false) for any other type.
QString LineTypeName(std::uint32_t componentType, bool isSource, bool* ok = nullptr);

// The message shown for a failed back-end call.
QString AudioErrorMessage(const TAudioResult& result);
// Why a preview or a test cannot use the output while the station plays on it.
QString AudioDeviceBusyMessage();

class TSoundCard final : public QObject, private TCaptureSink {
  Q_OBJECT
 public:
  static constexpr int kCaptureBlockBytes = 4096;
  static constexpr TPcmFormat kCaptureFormat{8000, 1, 16};

  using TWaveDataHandler = std::function<void(TWaveMessage message, std::span<const std::byte>)>;

  // Selects device 0 when there is one.
  explicit TSoundCard(std::unique_ptr<TSoundBackend> backend, QObject* parent = nullptr);
  ~TSoundCard() override;
  TSoundCard(const TSoundCard&) = delete;
  TSoundCard& operator=(const TSoundCard&) = delete;

  TSoundBackend& Backend() { return *backend_; }
  bool ServerLost() const { return backend_->ServerLost(); }

  int DeviceCount() const { return deviceCount_; }
  int DeviceIndex() const { return deviceIndex_; }
  int LastResult() const { return lastResult_; }
  // Stores the index; for an index of 0 or more enumerates that device's lines.
  void SetDeviceIndex(int index);
  QString DeviceName(int index) const;

  // Line lists, parallel: destination 0, its sources, destination 1, its sources, ...
  const QStringList& LineTypes() const { return lineTypes_; }
  // True for a playback destination and its sources, false for a recording destination's.
  const TBooleanList& LinePlayback() const { return linePlayback_; }
  const TIntegerList& LineFlags() const { return lineFlags_; }
  const TIntegerList& LineIDs() const { return lineIds_; }
  const QStringList& LineNames() const { return lineNames_; }
  // The device name of each line, which stays the same when devices come and go.
  const QStringList& LineKeys() const { return lineKeys_; }
  int LineCount() const { return lineIds_.Count(); }
  // A line to record from is listed.
  bool HasRecordingLine() const;
  int LineIndexOfKey(const QString& key) const {
    return key.isEmpty() ? -1 : static_cast<int>(lineKeys_.indexOf(key));
  }

  bool GetLineByID(TMixerLine& line, std::uint32_t lineId);

  // Control lists of the line whose ID is ControlsLineID (-1 when none).
  void EnumerateControls(int lineIndex);
  std::int64_t ControlsLineID() const { return controlsLineId_; }
  const QStringList& ControlNames() const { return controlNames_; }
  const TIntegerList& ControlTypes() const { return controlTypes_; }
  const TIntegerList& ControlIDs() const { return controlIds_; }
  const TBooleanList& ControlSigned() const { return controlSigned_; }
  const TIntegerList& ControlMins() const { return controlMins_; }
  const TIntegerList& ControlMaxs() const { return controlMaxs_; }
  const TIntegerList& ControlRanges() const { return controlRanges_; }
  // Index of the line's first control of that type, or -1.
  int FindControl(int lineIndex, std::uint32_t controlType);

  TMixerControlObjectList& MixerControls() { return mixerControls_; }
  const TMixerControlObjectList& MixerControls() const { return mixerControls_; }
  int AddMixerControl() { return mixerControls_.Add(); }
  bool BindMixerControl(int objectIndex, int lineIndex, int controlIndex, bool active);
  // The bound control's value, also kept in the object's Value; 0 when it is not bound. Any thread.
  std::uint32_t GetControlValue(int objectIndex);
  void SetControlValue(int objectIndex, std::uint32_t value);
  // Told whenever a bound meter's value changes.
  TLevelNews& LevelNews() { return levelNews_; }
  // The bound control's maximum, 0 when the object is not bound.
  std::uint32_t ControlMaximum(int objectIndex) const;

  // Set the handler before starting the capture; it runs on the back end's thread.
  void SetOnWaveData(TWaveDataHandler handler) { onWaveData_ = std::move(handler); }
  bool StartCapture();
  void StopCapture();
  bool Capturing() const { return capture_ != nullptr; }

 signals:
  void Error(const QString& message);
  void Debug(const QString& text);
  // The capture stream opened or closed.
  void CaptureChanged(bool capturing);
  // A control's value was changed outside the station (volume changed by another program).
  void ControlChanged(quint32 controlId);
  // The line lists were rebuilt because lines appeared or vanished.
  void LinesChanged();

 private:
  // Sets LastResult and reports a failure; true when the call failed.
  bool Check(const TAudioResult& result);
  void ReportCapture(bool wasCapturing);
  void EnumerateLines();
  void ClearControlLists();
  void AppendLine(const TMixerLine& line, bool playback);
  bool ValidObject(int objectIndex) const {
    return objectIndex >= 0 && objectIndex < mixerControls_.Count();
  }
  void Unbind(TMixerControlObject& object);
  bool BindObject(TMixerControlObject& object, int lineIndex, int controlIndex, bool active);
  void OnBackendLinesChanged();

  void CaptureOpened() override;
  void CaptureData(std::span<const std::byte> block) override;
  void CaptureClosed() override;

  // Outlives the back end, whose threads tell it.
  TLevelNews levelNews_;
  std::unique_ptr<TSoundBackend> backend_;
  int deviceCount_ = 0;
  int deviceIndex_ = -1;
  int lastResult_ = 0;
  std::int64_t controlsLineId_ = -1;

  QStringList lineTypes_;
  TBooleanList linePlayback_;
  TIntegerList lineFlags_;
  TIntegerList lineIds_;
  QStringList lineNames_;
  QStringList lineKeys_;

  QStringList controlNames_;
  TIntegerList controlTypes_;
  TIntegerList controlIds_;
  TBooleanList controlSigned_;
  TIntegerList controlMins_;
  TIntegerList controlMaxs_;
  TIntegerList controlRanges_;

  TMixerControlObjectList mixerControls_;
  TWaveDataHandler onWaveData_;
  std::unique_ptr<TAudioStream> capture_;
};

}  // namespace tarvok
