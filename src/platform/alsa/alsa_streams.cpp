#include "platform/alsa/alsa_streams.h"

#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/alsa/alsa_fault.h"
#include "platform/alsa/alsa_input.h"

namespace tarvok {

TAlsaCapture::TAlsaCapture(TAlsaInput& input, const TPcmFormat& format, int blockBytes,
                           TCaptureSink& sink)
    : input_(input),
      format_(format),
      sink_(sink),
      assembler_(blockBytes, [this](std::span<const std::byte> b) { sink_.CaptureData(b); }) {
  sink_.CaptureOpened();
  input_.Attach(this);
}

TAlsaCapture::~TAlsaCapture() {
  input_.Attach(nullptr);
  sink_.CaptureTail(assembler_.TakePartial());
  sink_.CaptureClosed();
}

void TAlsaCapture::Feed(std::span<const std::int16_t> samples, int rate) {
  // A device opened again may run at another rate.
  if (rate != inputRate_) {
    inputRate_ = rate;
    resampler_.emplace(rate, format_.SampleRate);
  }
  resampled_.clear();
  resampler_->Process(samples, resampled_);
  frames_.clear();
  EncodeFrames(resampled_, format_.Channels, format_.BitsPerSample, frames_);
  assembler_.Append(frames_);
}

int TAlsaPlayback::Open(const QString& device, const TPcmFormat& format, int bufferBytes,
                        TPlaybackSource& source, TControlCell& meter,
                        std::unique_ptr<TAudioStream>& stream) {
  std::unique_ptr<TAlsaPlayback> playback(new TAlsaPlayback(format, bufferBytes, source, meter));
  if (const int error = playback->pcm_.Open(device, SND_PCM_STREAM_PLAYBACK, format.SampleRate);
      error < 0)
    return error;
  playback->resampler_.emplace(format.SampleRate, playback->pcm_.Format().SampleRate);
  // The first buffers are in before the thread runs.
  playback->feeder_.Start();
  playback->thread_ = std::thread([p = playback.get()] { p->Run(); });
  stream = std::move(playback);
  return 0;
}

TAlsaPlayback::TAlsaPlayback(const TPcmFormat& format, int bufferBytes, TPlaybackSource& source,
                             TControlCell& meter)
    : format_(format),
      source_(source),
      meter_(meter),
      feeder_(source, bufferBytes, [this](std::span<const std::byte> b) { Take(b); }),
      wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TAlsaPlayback::~TAlsaPlayback() {
  // A device that did not open started no thread, and the source heard of nothing.
  const bool started = thread_.joinable();
  if (started) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
    thread_.join();
  }
  close(wakeFd_);
  pcm_.Close();
  meter_.Publish(0);
  if (started && !closed_)
    source_.PlaybackClosed();
}

void TAlsaPlayback::Take(std::span<const std::byte> buffer) {
  decoded_.clear();
  DecodeMono(buffer, format_.Channels, format_.BitsPerSample, decoded_);
  resampled_.clear();
  resampler_->Process(decoded_, resampled_);
  encoded_.clear();
  const TPcmFormat& device = pcm_.Format();
  EncodeFrames(resampled_, device.Channels, device.BitsPerSample, encoded_);
  pending_.insert(pending_.end(), encoded_.begin(), encoded_.end());
  taken_ += static_cast<std::int64_t>(resampled_.size());
  ends_.push_back(taken_);
  std::int32_t peak = 0;
  for (const std::int16_t s : decoded_)
    peak = std::max(peak, std::min(std::abs(static_cast<std::int32_t>(s)), 32767));
  peaks_.push_back(static_cast<std::uint32_t>(peak));
}

void TAlsaPlayback::Run() {
  pthread_setname_np(pthread_self(), "tarvok-alsa-out");
  std::vector<pollfd> fds = pcm_.PollDescriptors();
  const std::size_t deviceFds = fds.size();
  fds.push_back({wakeFd_, POLLIN, 0});
  for (;;) {
    if (!WritePending())
      break;
    NotifyPlayed();
    // A device may hold back the last frames until more come (the PulseAudio plugin does, less
    // than a period or, after it ran dry, all of them): silence after them, until they are heard,
    // pushes them out.
    if (pending_.empty() && !ends_.empty())
      pending_.resize(static_cast<std::size_t>(pcm_.PeriodFrames() * pcm_.Format().FrameBytes()));
    // With audio to write the device wakes the thread; with nothing queued only the end of the
    // stream does.
    const bool writing = !pending_.empty();
    const std::span<pollfd> watched = writing ? std::span(fds) : std::span(fds).last(1);
    const int timeoutMs = writing ? 1000 : -1;
    if (poll(watched.data(), watched.size(), timeoutMs) > 0 && fds.back().revents != 0)
      return;
    if (writing)
      pcm_.Ready(std::span(fds).first(deviceFds));
  }
  // The device failed: nothing more is played.
  closed_ = true;
  meter_.Publish(0);
  source_.PlaybackClosed();
  pollfd wake{wakeFd_, POLLIN, 0};
  poll(&wake, 1, -1);
}

bool TAlsaPlayback::WritePending() {
  const auto frameBytes = static_cast<std::size_t>(pcm_.Format().FrameBytes());
  std::vector<std::byte> chunk;
  while (!pending_.empty()) {
    const std::size_t bytes =
        std::min(pending_.size(), static_cast<std::size_t>(pcm_.PeriodFrames()) * frameBytes);
    chunk.assign(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(bytes));
    const long frames = pcm_.Write(chunk);
    if (frames > 0) {
      pending_.erase(pending_.begin(),
                     pending_.begin() + static_cast<std::ptrdiff_t>(frames * frameBytes));
      written_ += frames;
      continue;
    }
    const TAlsaFault fault = AlsaFaultOf(static_cast<int>(frames));
    if (fault == TAlsaFault::Wait || fault == TAlsaFault::Xrun)
      return true;
    return false;
  }
  return true;
}

void TAlsaPlayback::NotifyPlayed() {
  const std::int64_t played = written_ - pcm_.Delay();
  // The source may hand over the next buffer while it hears of each one.
  while (!ends_.empty() && ends_.front() <= played) {
    ends_.pop_front();
    peaks_.pop_front();
    feeder_.Played();
  }
  // The meter shows the buffer that is playing.
  meter_.Publish(peaks_.empty() ? 0 : peaks_.front());
}

}  // namespace tarvok
