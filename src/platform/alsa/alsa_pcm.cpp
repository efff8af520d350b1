#include "platform/alsa/alsa_pcm.h"

#include <array>
#include <utility>

#include "platform/alsa/alsa_fault.h"

namespace tarvok {

namespace {

struct TSampleFormat {
  snd_pcm_format_t Alsa;
  int Bits;
};

// What USB cards offer, the station's own format first.
constexpr std::array<TSampleFormat, 3> kSampleFormats{
    {{SND_PCM_FORMAT_S16_LE, 16}, {SND_PCM_FORMAT_S32_LE, 32}, {SND_PCM_FORMAT_S24_3LE, 24}}};

}  // namespace

int TAlsaPcm::Open(const QString& device, snd_pcm_stream_t stream, int preferredRate) {
  QuietAlsaErrors();
  Close();
  const QByteArray name = device.toLocal8Bit();
  if (const int error = snd_pcm_open(&pcm_, name.constData(), stream, SND_PCM_NONBLOCK);
      error < 0) {
    pcm_ = nullptr;
    return error;
  }
  const int error = Configure(preferredRate);
  if (error < 0)
    Close();
  return error;
}

int TAlsaPcm::Configure(int preferredRate) {
  snd_pcm_hw_params_t* hw = nullptr;
  snd_pcm_hw_params_alloca(&hw);
  int error = snd_pcm_hw_params_any(pcm_, hw);
  if (error < 0)
    return error;
  snd_pcm_hw_params_set_access(pcm_, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
  error = -EINVAL;
  for (const TSampleFormat& f : kSampleFormats) {
    if (snd_pcm_hw_params_set_format(pcm_, hw, f.Alsa) == 0) {
      format_.BitsPerSample = f.Bits;
      error = 0;
      break;
    }
  }
  if (error < 0)
    return error;
  unsigned int channels = 1;
  if ((error = snd_pcm_hw_params_set_channels_near(pcm_, hw, &channels)) < 0)
    return error;
  auto rate = static_cast<unsigned int>(preferredRate);
  if ((error = snd_pcm_hw_params_set_rate_near(pcm_, hw, &rate, nullptr)) < 0)
    return error;
  periodFrames_ = rate * kPeriodMs / 1000;
  if ((error = snd_pcm_hw_params_set_period_size_near(pcm_, hw, &periodFrames_, nullptr)) < 0)
    return error;
  snd_pcm_uframes_t bufferFrames = periodFrames_ * 8;
  if ((error = snd_pcm_hw_params_set_buffer_size_near(pcm_, hw, &bufferFrames)) < 0)
    return error;
  if ((error = snd_pcm_hw_params(pcm_, hw)) < 0)
    return error;
  format_.Channels = static_cast<int>(channels);
  format_.SampleRate = static_cast<int>(rate);

  snd_pcm_sw_params_t* sw = nullptr;
  snd_pcm_sw_params_alloca(&sw);
  snd_pcm_sw_params_current(pcm_, sw);
  snd_pcm_sw_params_set_avail_min(pcm_, sw, periodFrames_);
  // Playback starts once four periods are queued, so that a writer held up for a moment does not
  // run it dry at once; a short sound still starts, as silence follows every sound's end.
  // Capture is started below.
  snd_pcm_sw_params_set_start_threshold(pcm_, sw, periodFrames_ * 4);
  if ((error = snd_pcm_sw_params(pcm_, sw)) < 0)
    return error;
  if (snd_pcm_stream(pcm_) == SND_PCM_STREAM_CAPTURE)
    return snd_pcm_start(pcm_);
  return snd_pcm_prepare(pcm_);
}

void TAlsaPcm::Close() {
  if (pcm_ != nullptr)
    snd_pcm_close(std::exchange(pcm_, nullptr));
}

std::vector<pollfd> TAlsaPcm::PollDescriptors() const {
  std::vector<pollfd> fds(
      static_cast<std::size_t>(std::max(snd_pcm_poll_descriptors_count(pcm_), 0)));
  const int n = snd_pcm_poll_descriptors(pcm_, fds.data(), static_cast<unsigned int>(fds.size()));
  fds.resize(static_cast<std::size_t>(std::max(n, 0)));
  return fds;
}

bool TAlsaPcm::Ready(std::span<pollfd> fds) const {
  unsigned short events = 0;
  if (snd_pcm_poll_descriptors_revents(pcm_, fds.data(), static_cast<unsigned int>(fds.size()),
                                       &events) < 0)
    return true;  // the next read or write tells what is wrong
  return events != 0;
}

long TAlsaPcm::Recovered(long result) {
  if (result != -EPIPE)
    return result;
  // An overrun or underrun: the device is prepared again, and capture restarted. A device that
  // cannot be (the server behind a plugin died) says why.
  int error = snd_pcm_prepare(pcm_);
  if (error == 0 && snd_pcm_stream(pcm_) == SND_PCM_STREAM_CAPTURE)
    error = snd_pcm_start(pcm_);
  return error < 0 ? error : result;
}

long TAlsaPcm::Read(std::span<std::byte> frames) {
  const auto count = static_cast<snd_pcm_uframes_t>(frames.size()) /
                     static_cast<snd_pcm_uframes_t>(format_.FrameBytes());
  return Recovered(snd_pcm_readi(pcm_, frames.data(), count));
}

long TAlsaPcm::Write(std::span<const std::byte> frames) {
  const auto count = static_cast<snd_pcm_uframes_t>(frames.size()) /
                     static_cast<snd_pcm_uframes_t>(format_.FrameBytes());
  return Recovered(snd_pcm_writei(pcm_, frames.data(), count));
}

long TAlsaPcm::Delay() const {
  snd_pcm_sframes_t delay = 0;
  if (snd_pcm_delay(pcm_, &delay) < 0 || delay < 0)
    return 0;
  return delay;
}

}  // namespace tarvok
