// The peak meter of one sink monitor or source, whose largest sample of each 10 ms of audio is
// published to the control's cell (as the virtual card's meters do). On PulseAudio it is a
// peak-detecting stream of 100 values a second, which the server computes cheaply. PipeWire
// delivers such a stream late and in bursts, so there it is an ordinary record stream in the
// device's own rate and channels, read in fragments of 10 ms.
#pragma once

#include <pulse/context.h>
#include <pulse/stream.h>

#include "core/audio/sound_backend.h"

namespace tarvok {

class TPulseMeter {
 public:
  static constexpr int kWindowsPerSecond = 100;
  static constexpr std::uint32_t kMaximum = 32767;

  // With the main loop's lock held. The cell is cleared when the meter ends or fails.
  TPulseMeter(pa_context* context, const QString& source, const pa_channel_map& channels,
              std::uint32_t sampleRate, bool peakDetect, TControlCell& cell);
  ~TPulseMeter();
  TPulseMeter(const TPulseMeter&) = delete;
  TPulseMeter& operator=(const TPulseMeter&) = delete;

  // Whether the stream is being set up or running; a failed or ended one should be replaced.
  bool Alive() const;

 private:
  static void Read(pa_stream* stream, std::size_t, void* self);
  static void State(pa_stream* stream, void* self);
  void Take(const float* samples, std::size_t count);

  TControlCell& cell_;
  pa_stream* stream_ = nullptr;
  std::size_t windowSamples_ = 1;  // samples of all channels in 10 ms
  std::size_t filled_ = 0;
  float peak_ = 0.0f;
};

}  // namespace tarvok
