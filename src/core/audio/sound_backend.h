// The one interface between the station and a sound system: mixer devices with their lines
// (destinations, each followed by its sources) and each line's controls (peak meter, volume), one
// control value read or written at a time, change notifications, and PCM streams.
//
// Threads: every method is called on the main thread, except that a control's value is read from
// its TControlCell by any thread without a lock. Back ends run threads of their own; they emit
// the signals below on the main thread only (queued), and touch station state through atomics.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/audio/level_news.h"

namespace tarvok {

// Result of a back-end call. Code 0 is success; the codes below have fixed messages for the user
// (TSoundCard), any other code is shown with the back end's own Text.
struct TAudioResult {
  static constexpr int kOk = 0;
  static constexpr int kError = 1;
  static constexpr int kBadDeviceId = 2;
  static constexpr int kAllocated = 4;
  static constexpr int kInvalidHandle = 5;
  static constexpr int kNoDriver = 6;
  static constexpr int kNoMemory = 7;
  static constexpr int kNotSupported = 8;
  static constexpr int kBadFormat = 32;
  static constexpr int kInvalidLine = 1024;
  static constexpr int kInvalidControl = 1025;

  int Code = kOk;
  QString Text;

  bool Failed() const { return Code != kOk; }
  static TAudioResult Ok() { return {}; }
  static TAudioResult Fail(int code, QString text) { return {code, std::move(text)}; }
};

// Line component types and flags, with the numbers that mixers have always used.
inline constexpr std::uint32_t kDestinationSpeakers = 4;
inline constexpr std::uint32_t kDestinationHeadphones = 5;
inline constexpr std::uint32_t kDestinationWaveIn = 7;
inline constexpr std::uint32_t kSourceLineLevel = 4098;
inline constexpr std::uint32_t kSourceMicrophone = 4099;
inline constexpr std::uint32_t kSourceWaveOut = 4104;
inline constexpr std::uint32_t kLineActive = 0x1;
inline constexpr std::uint32_t kLineSource = 0x80000000;

// Control types.
inline constexpr std::uint32_t kControlSignedMeter = 0x10020000;
inline constexpr std::uint32_t kControlPeakMeter = 0x10020001;
inline constexpr std::uint32_t kControlUnsignedMeter = 0x10030000;
inline constexpr std::uint32_t kControlVolume = 0x50030001;

struct TMixerLine {
  std::uint32_t Id = 0;  // unique within the back end for as long as it lives
  std::uint32_t ComponentType = 0;
  std::uint32_t Flags = 0;  // kLineActive, kLineSource
  QString Name;             // shown to the user
  QString Key;              // the device's name: stays the same when the device comes back

  friend bool operator==(const TMixerLine&, const TMixerLine&) = default;
};

struct TMixerDestination {
  TMixerLine Line;
  std::vector<TMixerLine> Sources;

  friend bool operator==(const TMixerDestination&, const TMixerDestination&) = default;
};

struct TMixerControl {
  std::uint32_t Id = 0;
  std::uint32_t Type = 0;
  QString Name;
  std::int32_t Minimum = 0;
  std::int32_t Maximum = 0;
};

// The current value of one control, kept up to date by the back end: meters by their level,
// volumes by what the sound system reports. Cells live as long as their back end.
struct TControlCell {
  std::atomic<std::uint32_t> Value{0};
  // Told when a meter's value changes; set by the sound card that reads the cell.
  mutable std::atomic<TLevelNews*> News{nullptr};

  // The back end's write of a meter reading.
  void Publish(std::uint32_t value) {
    if (Value.exchange(value, std::memory_order_relaxed) == value)
      return;
    if (TLevelNews* news = News.load(std::memory_order_acquire))
      news->Tell();
  }
};

// Linear PCM, little-endian: 8-bit samples are unsigned, wider ones signed.
struct TPcmFormat {
  int SampleRate = 8000;
  int Channels = 1;
  int BitsPerSample = 16;

  int FrameBytes() const { return Channels * BitsPerSample / 8; }
  friend bool operator==(const TPcmFormat&, const TPcmFormat&) = default;
};

// Receives a capture stream. Called on a back-end thread, in order; a handler must return quickly
// and must not call the back end. Opened comes once the stream runs, Closed when it is closed; the
// tail and Closed come on the thread that destroys the stream.
class TCaptureSink {
 public:
  virtual ~TCaptureSink() = default;
  virtual void CaptureOpened() = 0;
  virtual void CaptureData(std::span<const std::byte> block) = 0;
  // When the stream is destroyed: the part of a block captured so far, shorter than a block (as a
  // device hands back its part-filled buffer when it is reset). A sink may ignore it.
  virtual void CaptureTail(std::span<const std::byte>) {}
  virtual void CaptureClosed() = 0;
};

// Feeds a playback stream. The back end asks for two buffers when the stream opens, on the thread
// that opens it, and after that, on a back-end thread, for one more after each buffer has been
// played, so that at most two are queued. Handlers are called in order, must return quickly, must
// not call the back end and must never destroy their own stream.
class TPlaybackSource {
 public:
  virtual ~TPlaybackSource() = default;
  virtual void PlaybackOpened() = 0;
  // Fills at most buffer.size() bytes (whole frames) and returns how many; 0 when there is no data.
  virtual std::size_t NextBuffer(std::span<std::byte> buffer) = 0;
  virtual void BufferPlayed() = 0;
  // Comes once: when the stream is destroyed, or earlier when the sound system closed the device
  // (it went away); no buffer is played after it.
  virtual void PlaybackClosed() = 0;
};

// An open stream; destroying it closes it, after which no notification of it arrives.
class TAudioStream {
 public:
  virtual ~TAudioStream() = default;
};

class TSoundBackend : public QObject {
  Q_OBJECT
 public:
  ~TSoundBackend() override = default;

  virtual int DeviceCount() const = 0;
  virtual QString DeviceName(int index) const = 0;
  // Chooses the mixer device whose lines and controls the calls below describe.
  virtual TAudioResult OpenMixer(int index) = 0;

  virtual TAudioResult Destinations(std::vector<TMixerDestination>& destinations) const = 0;
  virtual TAudioResult Line(std::uint32_t lineId, TMixerLine& line) const = 0;
  virtual TAudioResult Controls(std::uint32_t lineId,
                                std::vector<TMixerControl>& controls) const = 0;
  virtual TAudioResult Control(std::uint32_t controlId, TMixerControl& control) const = 0;

  // Starts keeping the control's cell current (a meter listens only while acquired); the cell
  // stays valid until the back end is destroyed. Every acquire is paired with a release.
  virtual const TControlCell* AcquireControl(std::uint32_t controlId) = 0;
  virtual void ReleaseControl(std::uint32_t controlId) = 0;
  virtual TAudioResult WriteControl(std::uint32_t controlId, std::uint32_t value) = 0;

  // Captures the default recording line in blocks of exactly blockBytes, in order.
  virtual TAudioResult OpenCapture(const TPcmFormat& format, int blockBytes, TCaptureSink& sink,
                                   std::unique_ptr<TAudioStream>& stream) = 0;
  // Plays on the default output in buffers of at most bufferBytes. A queued buffer is dropped
  // when the stream is destroyed.
  virtual TAudioResult OpenPlayback(const TPcmFormat& format, int bufferBytes,
                                    TPlaybackSource& source,
                                    std::unique_ptr<TAudioStream>& stream) = 0;

 signals:
  // Someone other than this back end's caller changed a control's value.
  void ControlChanged(quint32 controlId);
  // Lines appeared or vanished; line lists taken before are out of date.
  void LinesChanged();
  void Error(const QString& message);
  void Debug(const QString& text);

 public:
  // Whether the sound server has gone away; the back end reports that once itself, so what
  // fails meanwhile need not say it again. Any thread.
  virtual bool ServerLost() const { return false; }
};

}  // namespace tarvok
