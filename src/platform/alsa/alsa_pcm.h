// One open ALSA PCM device in non-blocking mode, set to a format the device offers: 16-bit, 32-bit
// or packed 24-bit samples, one or two channels, the rate nearest to the one asked for, in periods
// of about 10 ms. Closed when destroyed.
#pragma once

#include <alsa/asoundlib.h>
#include <poll.h>

#include <QString>
#include <cstddef>
#include <span>
#include <vector>

#include "core/audio/sound_backend.h"

namespace tarvok {

class TAlsaPcm {
 public:
  static constexpr int kPeriodMs = 10;

  TAlsaPcm() = default;
  ~TAlsaPcm() { Close(); }
  TAlsaPcm(const TAlsaPcm&) = delete;
  TAlsaPcm& operator=(const TAlsaPcm&) = delete;

  // 0 or a negative errno (see AlsaFaultOf).
  int Open(const QString& device, snd_pcm_stream_t stream, int preferredRate);
  void Close();
  bool IsOpen() const { return pcm_ != nullptr; }
  // The device's format: 24-bit samples take three bytes.
  const TPcmFormat& Format() const { return format_; }
  int PeriodFrames() const { return static_cast<int>(periodFrames_); }

  // The device's descriptors, for poll; Ready tells from their events whether it can go on.
  std::vector<pollfd> PollDescriptors() const;
  bool Ready(std::span<pollfd> fds) const;
  // Frames read or written, or a negative errno. An xrun is recovered from before -EPIPE is
  // returned, so that the next call continues; a recovery that fails returns its own error.
  long Read(std::span<std::byte> frames);
  long Write(std::span<const std::byte> frames);
  // Frames written and not yet heard; 0 after an underrun.
  long Delay() const;

 private:
  int Configure(int preferredRate);
  long Recovered(long result);

  snd_pcm_t* pcm_ = nullptr;
  TPcmFormat format_;
  snd_pcm_uframes_t periodFrames_ = 0;
};

}  // namespace tarvok
