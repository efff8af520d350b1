// Everything a running station is made of, created and torn down in a fixed order: the sound
// card and its level poller, the recorder thread, the DTMF decoder, the two trace sources with
// the VOX, and the station with its engine and clock. The window and the headless service each
// own one and add only how they show it. Tear-down ends both threads before the sound card goes,
// so no audio callback runs on a freed object.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

#include "core/audio/level_poller.h"
#include "core/audio/record_thread.h"
#include "core/audio/sound_card.h"
#include "core/dtmf/dtmf_block_processor.h"
#include "core/station/station.h"
#include "core/station/trace_source.h"
#include "core/station/vox_control.h"

namespace tarvok {

class TClock;
class TConfig;
class TUserMessages;

class TStationRuntime final : public QObject, private TVoxEngine {
  Q_OBJECT
 public:
  static constexpr int kDefaultRefreshInterval = 50;

  // Builds the station on the back end; nothing runs until Start.
  TStationRuntime(TConfig& config, const TClock& clock, std::unique_ptr<TSoundBackend> backend,
                  TUserMessages& messages, TTraceCheckPrompts& prompts, QObject* parent = nullptr);
  ~TStationRuntime() override;
  TStationRuntime(const TStationRuntime&) = delete;
  TStationRuntime& operator=(const TStationRuntime&) = delete;

  // Start-up: the first state, the timers, the threads, the restore of the last mode and the
  // check of the trace assignment, all from the event loop that follows.
  void Start();
  // Shut-down: saves the levels, delays and mode, stops capture, recording and playback, ends
  // both threads and releases the transmitter. Only the first call acts.
  void Close();
  bool Closed() const { return closed_; }

  // Around a modal dialog: the transmitter is held off, and a laptop station leaves Simplex
  // Repeater or Beacon Station mode while the dialog is open.
  void SuspendForDialog();
  void ResumeAfterDialog();
  // The recorder's format and the message timers' intervals from the settings; at start and
  // after the preferences were saved. Simplex Repeater recordings take the settings' format.
  void ApplyRecordingFormat();
  // The preferences dialog closed, with its settings saved or not.
  void PreferencesClosed(bool saved);

  // One refresh of both traces' displays and gain controls.
  void RefreshTick();
  int RefreshInterval() const { return refreshTimer_.interval(); }

  // The Recorder menu: the capture stream that feeds the DTMF decoder in Internet Repeater mode.
  void StartCapture();
  void StopCapture();
  bool Capturing() const { return soundCard_->Capturing(); }

  TStation& Station() { return *station_; }
  TSoundCard& SoundCard() { return *soundCard_; }
  TLevelPoller& Poller() { return *poller_; }
  TRecordThread& RecordThread() { return *recordThread_; }
  TDtmfBlockProcessor& Dtmf() { return *dtmf_; }
  TTraceSource& Trace(int index) { return *traces_[static_cast<std::size_t>(index)]; }
  TVoxControl& Vox() { return *vox_; }

 signals:
  // A refresh began before the last one ended: "Overflowed" in the status bar.
  void RefreshOverflowed();
  // The capture stream started or stopped.
  void CaptureChanged();

 private:
  struct TDialogSuspension {
    TRepeaterMode Mode = rmInternetRepeater;
    bool Laptop = false;
    int Control = 0;
    TModeState State = msDefault;
  };

  bool Inhibit() const override;
  TRepeaterMode Mode() const override;
  void SetState(int request) override;

  void ConnectRecorder();
  void CreateTraces(TTraceCheckPrompts& prompts);
  void ApplyToneSettings();
  void SaveLevels();

  TConfig& config_;
  const TClock& clock_;
  std::unique_ptr<TSoundCard> soundCard_;
  std::unique_ptr<TLevelPoller> poller_;
  std::unique_ptr<TRecordThread> recordThread_;
  std::unique_ptr<TDtmfBlockProcessor> dtmf_;
  std::unique_ptr<TStation> station_;
  std::array<std::unique_ptr<TTraceSource>, 2> traces_;
  std::unique_ptr<TVoxControl> vox_;
  QTimer voxTimer_;
  QTimer refreshTimer_;
  bool refreshing_ = false;
  bool closed_ = false;
  TDialogSuspension suspension_;
};

}  // namespace tarvok
