// A deterministic sound card inside the process. Its mixer has a playback destination "Speakers"
// whose source "Wave Out" carries the PC audio, and a recording destination "Recording Control"
// whose source "Line In" carries the receiver; each line has a peak meter and a volume. A scenario
// drives the two inputs; capture delivers the receiver as recorded through "Recording Control".
//
// Audio is rendered at 8000 samples per second in frames of 10 ms; each meter shows the peak of the
// last whole frame. Advance renders on the caller's thread (tests step the card by hand);
// StartRealTime renders on a thread of its own, keeping pace with the wall clock: every frame
// while a line sounds or the station plays, and in bursts of QuietMs while both lines are silent
// (a stream that opens wakes it at once). What the station
// plays is mixed into the PC audio before "Wave Out", as on a real card, and goes with it to the
// transmitter recorder when there is one.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "core/audio/sound_backend.h"
#include "platform/virtual/scenario.h"
#include "platform/virtual/transmitter_recorder.h"

namespace tarvok {

class TVirtualCapture;
class TVirtualPlayback;

class TVirtualSoundBackend final : public TSoundBackend {
 public:
  static constexpr int kFrameSamples = TScenario::kSampleRate / 100;
  static constexpr int kLineCount = 4;
  static constexpr int kQuietMs = 50;

  explicit TVirtualSoundBackend(TScenario scenario,
                                std::shared_ptr<TTransmitterRecorder> transmitter = {});
  ~TVirtualSoundBackend() override;

  void StartRealTime();
  // Renders the next `samples` samples; not while the real-time thread runs.
  void Advance(std::int64_t samples);
  std::int64_t Position() const { return position_; }

  int DeviceCount() const override { return 1; }
  QString DeviceName(int index) const override;
  TAudioResult OpenMixer(int index) override;
  TAudioResult Destinations(std::vector<TMixerDestination>& destinations) const override;
  TAudioResult Line(std::uint32_t lineId, TMixerLine& line) const override;
  TAudioResult Controls(std::uint32_t lineId, std::vector<TMixerControl>& controls) const override;
  TAudioResult Control(std::uint32_t controlId, TMixerControl& control) const override;
  const TControlCell* AcquireControl(std::uint32_t controlId) override;
  void ReleaseControl(std::uint32_t) override {}
  TAudioResult WriteControl(std::uint32_t controlId, std::uint32_t value) override;
  // Any PCM format: the card's audio is converted to and from it.
  TAudioResult OpenCapture(const TPcmFormat& format, int blockBytes, TCaptureSink& sink,
                           std::unique_ptr<TAudioStream>& stream) override;
  TAudioResult OpenPlayback(const TPcmFormat& format, int bufferBytes, TPlaybackSource& source,
                            std::unique_ptr<TAudioStream>& stream) override;

 private:
  friend class TVirtualCapture;
  friend class TVirtualPlayback;
  // Lines in mixer order; their IDs are index + 1, their controls' IDs line ID × 16 + 1 (peak
  // meter) and + 2 (volume).
  enum TLineIndex { kSpeakers, kWaveOut, kRecordingControl, kLineIn };
  struct TLine {
    TMixerLine Line;
    TControlCell Meter;
    TControlCell Volume;
    std::int32_t Peak = 0;  // of the frame being rendered
  };

  TLine* LineOfControl(std::uint32_t controlId, bool& isVolume);
  const TLine* LineById(std::uint32_t lineId) const;
  // Applies the line's volume and notes the peak for its meter.
  void Pass(TLine& line, std::span<std::int16_t> samples);
  void RenderStreams(std::span<const std::int16_t> receiver, std::span<std::int16_t> pc);
  // Takes a stream off the card once the rendering thread does not use it; `slot` is its pointer.
  template <typename Stream>
  void Unpublish(Stream*& slot);
  void RunRealTime();
  // Sleeps until `until` or a wake; true when the card is being destroyed.
  bool Stopping(std::chrono::steady_clock::time_point until);
  void Wake();
  // Both lines are silent and nothing plays for the next `samples` samples.
  bool Quiet(std::int64_t samples);

  const TScenario scenario_;
  const std::shared_ptr<TTransmitterRecorder> transmitter_;
  std::array<TLine, kLineCount> lines_;
  std::int64_t position_ = 0;
  int framePosition_ = 0;

  // The streams, handed between the rendering thread and the threads that open and close them.
  std::mutex streamMutex_;
  std::condition_variable streamsIdle_;
  TVirtualCapture* capture_ = nullptr;
  TVirtualPlayback* playback_ = nullptr;
  bool rendering_ = false;

  // A condition variable sleeps in the kernel; a timed semaphore wait spins and yields first.
  std::mutex stopMutex_;
  std::condition_variable stopWake_;
  bool stopping_ = false;
  bool woken_ = false;
  std::thread realTime_;
};

}  // namespace tarvok
