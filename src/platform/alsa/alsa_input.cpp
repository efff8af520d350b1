#include "platform/alsa/alsa_input.h"

#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "core/audio/pcm_conversion.h"
#include "platform/alsa/alsa_fault.h"
#include "platform/alsa/alsa_streams.h"

namespace tarvok {

namespace {
constexpr auto kXrunReportInterval = std::chrono::minutes(1);
// A plugin whose server died may stay silent instead of failing: a read tells.
constexpr int kPollTimeoutMs = 1000;
}  // namespace

TAlsaInput::TAlsaInput(QString device, TControlCell& meter, TReport report)
    : device_(std::move(device)),
      meter_(meter),
      report_(std::move(report)),
      wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      lastXrunReport_(std::chrono::steady_clock::now() - kXrunReportInterval) {
  thread_ = std::thread([this] { Run(); });
}

TAlsaInput::~TAlsaInput() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
  thread_.join();
  close(wakeFd_);
}

void TAlsaInput::Attach(TAlsaCapture* capture) {
  std::lock_guard lock(captureMutex_);
  capture_ = capture;
}

bool TAlsaInput::Attached() {
  std::lock_guard lock(captureMutex_);
  return capture_ != nullptr;
}

bool TAlsaInput::Sleep(int ms) {
  pollfd wake{wakeFd_, POLLIN, 0};
  return poll(&wake, 1, ms) > 0;
}

void TAlsaInput::Run() {
  pthread_setname_np(pthread_self(), "tarvok-alsa-in");
  int retryMs = kFirstRetryMs;
  for (;;) {
    const int error = pcm_.Open(device_, SND_PCM_STREAM_CAPTURE, kPreferredRate);
    if (error == 0) {
      retryMs = kFirstRetryMs;
      running_.store(true);
      if (std::exchange(outageReported_, false))
        report_(QStringLiteral("The sound device %1 is back.").arg(device_));
      const int fault = ReadUntilFault();
      running_.store(false);
      pcm_.Close();
      meter_.Publish(0);
      peak_ = 0;
      peakSamples_ = 0;
      if (fault == 0)
        return;
      if (!std::exchange(outageReported_, true))
        report_(QStringLiteral("The sound device %1 is gone (%2); waiting for it to come back.")
                    .arg(device_, QString::fromLocal8Bit(snd_strerror(fault))));
    } else if (!std::exchange(outageReported_, true)) {
      report_(AlsaOpenFailure(device_, error) + QStringLiteral("; retrying."));
    }
    if (Sleep(retryMs))
      return;
    retryMs = std::min(retryMs * 2, kLastRetryMs);
  }
}

int TAlsaInput::ReadUntilFault() {
  std::vector<pollfd> fds = pcm_.PollDescriptors();
  const std::size_t deviceFds = fds.size();
  fds.push_back({wakeFd_, POLLIN, 0});
  std::vector<std::byte> buffer(static_cast<std::size_t>(pcm_.PeriodFrames() * 4) *
                                static_cast<std::size_t>(pcm_.Format().FrameBytes()));
  for (;;) {
    const int events = poll(fds.data(), fds.size(), kPollTimeoutMs);
    if (events > 0 && fds.back().revents != 0)
      return 0;
    if (events > 0 && !pcm_.Ready(std::span(fds).first(deviceFds)))
      continue;
    // One read per wake-up: a device that always has audio (ALSA's "null") still lets the input
    // hear that it should stop.
    const long frames = pcm_.Read(buffer);
    if (frames > 0)
      Deliver(std::span(buffer).first(static_cast<std::size_t>(frames) *
                                      static_cast<std::size_t>(pcm_.Format().FrameBytes())));
    switch (AlsaFaultOf(static_cast<int>(frames))) {
      case TAlsaFault::None:
      case TAlsaFault::Wait:
        break;
      case TAlsaFault::Xrun:
        CountXrun();
        break;
      default:
        return static_cast<int>(frames);
    }
  }
}

void TAlsaInput::CountXrun() {
  ++xruns_;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastXrunReport_ < kXrunReportInterval)
    return;
  report_(QStringLiteral("The sound device %1 lost audio: %2 overrun(s) since the last report.")
              .arg(device_)
              .arg(std::exchange(xruns_, 0)));
  lastXrunReport_ = now;
}

void TAlsaInput::Deliver(std::span<const std::byte> frames) {
  const TPcmFormat& format = pcm_.Format();
  mono_.clear();
  DecodeMono(frames, format.Channels, format.BitsPerSample, mono_);
  const int window = format.SampleRate / 100;
  for (const std::int16_t s : mono_) {
    peak_ = std::max(peak_, std::min(std::abs(static_cast<std::int32_t>(s)), 32767));
    if (++peakSamples_ == window) {
      meter_.Publish(static_cast<std::uint32_t>(peak_));
      peak_ = 0;
      peakSamples_ = 0;
    }
  }
  std::lock_guard lock(captureMutex_);
  if (capture_ != nullptr)
    capture_->Feed(mono_, format.SampleRate);
}

}  // namespace tarvok
