#include "platform/virtual/virtual_sound_backend.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/mixer_control_ids.h"
#include "platform/virtual/virtual_streams.h"

namespace tarvok {

namespace {
constexpr std::uint32_t kFullVolume = 65535;
}  // namespace

TVirtualSoundBackend::TVirtualSoundBackend(TScenario scenario,
                                           std::shared_ptr<TTransmitterRecorder> transmitter)
    : scenario_(std::move(scenario)), transmitter_(std::move(transmitter)) {
  const auto line = [](std::uint32_t id, std::uint32_t type, bool source, const char* name) {
    const QString text = QString::fromLatin1(name);
    return TMixerLine{id, type, kLineActive | (source ? kLineSource : 0u), text, text};
  };
  lines_[kSpeakers].Line = line(1, kDestinationSpeakers, false, "Speakers");
  lines_[kWaveOut].Line = line(2, kSourceWaveOut, true, "Wave Out");
  lines_[kRecordingControl].Line = line(3, kDestinationWaveIn, false, "Recording Control");
  lines_[kLineIn].Line = line(4, kSourceLineLevel, true, "Line In");
  for (TLine& l : lines_)
    l.Volume.Value = kFullVolume;
}

TVirtualSoundBackend::~TVirtualSoundBackend() {
  if (realTime_.joinable()) {
    {
      const std::lock_guard lock(stopMutex_);
      stopping_ = true;
    }
    stopWake_.notify_one();
    realTime_.join();
  }
}

QString TVirtualSoundBackend::DeviceName(int) const { return QStringLiteral("Virtual Sound Card"); }

TAudioResult TVirtualSoundBackend::OpenMixer(int index) {
  return index == 0 ? TAudioResult::Ok()
                    : TAudioResult::Fail(TAudioResult::kBadDeviceId, QString());
}

TAudioResult TVirtualSoundBackend::Destinations(std::vector<TMixerDestination>& out) const {
  out = {{lines_[kSpeakers].Line, {lines_[kWaveOut].Line}},
         {lines_[kRecordingControl].Line, {lines_[kLineIn].Line}}};
  return TAudioResult::Ok();
}

const TVirtualSoundBackend::TLine* TVirtualSoundBackend::LineById(std::uint32_t lineId) const {
  return lineId >= 1 && lineId <= kLineCount ? &lines_[lineId - 1] : nullptr;
}

TAudioResult TVirtualSoundBackend::Line(std::uint32_t lineId, TMixerLine& line) const {
  const TLine* l = LineById(lineId);
  if (l == nullptr)
    return TAudioResult::Fail(TAudioResult::kInvalidLine, QStringLiteral("No such mixer line."));
  line = l->Line;
  return TAudioResult::Ok();
}

TAudioResult TVirtualSoundBackend::Controls(std::uint32_t lineId,
                                            std::vector<TMixerControl>& controls) const {
  if (LineById(lineId) == nullptr)
    return TAudioResult::Fail(TAudioResult::kInvalidLine, QStringLiteral("No such mixer line."));
  controls = {
      {ControlIdOf(lineId, kMeterControl), kControlPeakMeter, QStringLiteral("Peak Meter"), -32768,
       32767},
      {ControlIdOf(lineId, kVolumeControl), kControlVolume, QStringLiteral("Volume"), 0, 65535}};
  return TAudioResult::Ok();
}

TAudioResult TVirtualSoundBackend::Control(std::uint32_t controlId, TMixerControl& control) const {
  if (FindLineControl(*this, controlId, control))
    return TAudioResult::Ok();
  return TAudioResult::Fail(TAudioResult::kInvalidControl, QStringLiteral("No such control."));
}

TVirtualSoundBackend::TLine* TVirtualSoundBackend::LineOfControl(std::uint32_t controlId,
                                                                 bool& isVolume) {
  const std::uint32_t lineId = LineIdOfControl(controlId);
  const std::uint32_t kind = KindOfControl(controlId);
  if (lineId < 1 || lineId > kLineCount || (kind != kMeterControl && kind != kVolumeControl))
    return nullptr;
  isVolume = kind == kVolumeControl;
  return &lines_[lineId - 1];
}

const TControlCell* TVirtualSoundBackend::AcquireControl(std::uint32_t controlId) {
  bool isVolume = false;
  TLine* line = LineOfControl(controlId, isVolume);
  if (line == nullptr)
    return nullptr;
  return isVolume ? &line->Volume : &line->Meter;
}

TAudioResult TVirtualSoundBackend::WriteControl(std::uint32_t controlId, std::uint32_t value) {
  bool isVolume = false;
  TLine* line = LineOfControl(controlId, isVolume);
  if (line == nullptr)
    return TAudioResult::Fail(TAudioResult::kInvalidControl, QStringLiteral("No such control."));
  if (!isVolume)
    return TAudioResult::Fail(TAudioResult::kNotSupported, QString());
  line->Volume.Value = std::min(value, kFullVolume);
  return TAudioResult::Ok();
}

namespace {

bool ConvertibleFormat(const TPcmFormat& format, int bytes) {
  return format.BitsPerSample % 8 == 0 && format.BitsPerSample >= 8 && format.BitsPerSample <= 32 &&
         format.Channels >= 1 && format.Channels <= 32 && format.SampleRate >= 1000 &&
         format.SampleRate <= 384000 && bytes >= format.FrameBytes();
}

}  // namespace

TAudioResult TVirtualSoundBackend::OpenCapture(const TPcmFormat& format, int blockBytes,
                                               TCaptureSink& sink,
                                               std::unique_ptr<TAudioStream>& stream) {
  if (!ConvertibleFormat(format, blockBytes))
    return TAudioResult::Fail(TAudioResult::kBadFormat, QString());
  {
    std::lock_guard lock(streamMutex_);
    if (capture_ != nullptr)
      return TAudioResult::Fail(TAudioResult::kAllocated, QString());
  }
  // Opened comes before the first block: the stream is published to the renderer after it.
  sink.CaptureOpened();
  auto capture = std::make_unique<TVirtualCapture>(*this, format, blockBytes, sink);
  {
    std::lock_guard lock(streamMutex_);
    capture_ = capture.get();
  }
  stream = std::move(capture);
  Wake();
  return TAudioResult::Ok();
}

TAudioResult TVirtualSoundBackend::OpenPlayback(const TPcmFormat& format, int bufferBytes,
                                                TPlaybackSource& source,
                                                std::unique_ptr<TAudioStream>& stream) {
  if (!ConvertibleFormat(format, bufferBytes))
    return TAudioResult::Fail(TAudioResult::kBadFormat, QString());
  {
    std::lock_guard lock(streamMutex_);
    if (playback_ != nullptr)
      return TAudioResult::Fail(TAudioResult::kAllocated, QString());
  }
  auto playback = std::make_unique<TVirtualPlayback>(*this, format, bufferBytes, source);
  // The first buffers are in before the renderer sees the stream.
  playback->Start();
  {
    std::lock_guard lock(streamMutex_);
    playback_ = playback.get();
  }
  stream = std::move(playback);
  Wake();
  return TAudioResult::Ok();
}

template <typename Stream>
void TVirtualSoundBackend::Unpublish(Stream*& slot) {
  std::unique_lock lock(streamMutex_);
  streamsIdle_.wait(lock, [this] { return !rendering_; });
  slot = nullptr;
}

template void TVirtualSoundBackend::Unpublish(TVirtualCapture*&);
template void TVirtualSoundBackend::Unpublish(TVirtualPlayback*&);

void TVirtualSoundBackend::Pass(TLine& line, std::span<std::int16_t> samples) {
  const std::uint32_t volume = line.Volume.Value.load(std::memory_order_relaxed);
  for (std::int16_t& s : samples) {
    s = static_cast<std::int16_t>(s * static_cast<std::int64_t>(volume) / kFullVolume);
    line.Peak = std::max(line.Peak, std::min(std::abs(static_cast<std::int32_t>(s)), 32767));
  }
}

void TVirtualSoundBackend::RenderStreams(std::span<const std::int16_t> receiver,
                                         std::span<std::int16_t> pc) {
  TVirtualCapture* capture = nullptr;
  TVirtualPlayback* playback = nullptr;
  bool busy = false;
  {
    std::lock_guard lock(streamMutex_);
    capture = capture_;
    playback = playback_;
    busy = rendering_ = capture != nullptr || playback != nullptr;
  }
  if (playback != nullptr)
    playback->Mix(pc);
  Pass(lines_[kWaveOut], pc);
  Pass(lines_[kSpeakers], pc);
  if (capture != nullptr)
    capture->Feed(receiver);
  if (playback != nullptr)
    playback->NotifyPlayed();
  if (transmitter_)
    transmitter_->Write(pc, position_, playback != nullptr);
  if (!busy)
    return;
  {
    std::lock_guard lock(streamMutex_);
    rendering_ = false;
  }
  streamsIdle_.notify_all();
}

void TVirtualSoundBackend::Advance(std::int64_t samples) {
  std::array<std::int16_t, kFrameSamples> receiver{};
  std::array<std::int16_t, kFrameSamples> pc{};
  while (samples > 0) {
    const int n = static_cast<int>(std::min<std::int64_t>(samples, kFrameSamples - framePosition_));
    const auto rx = std::span(receiver).first(static_cast<std::size_t>(n));
    const auto out = std::span(pc).first(static_cast<std::size_t>(n));
    scenario_.Render(TScenarioLine::Receiver, position_, rx);
    scenario_.Render(TScenarioLine::Pc, position_, out);
    Pass(lines_[kLineIn], rx);
    Pass(lines_[kRecordingControl], rx);
    RenderStreams(rx, out);
    position_ += n;
    samples -= n;
    framePosition_ += n;
    if (framePosition_ == kFrameSamples) {
      framePosition_ = 0;
      for (TLine& line : lines_) {
        line.Meter.Publish(static_cast<std::uint32_t>(line.Peak));
        line.Peak = 0;
      }
    }
  }
}

void TVirtualSoundBackend::StartRealTime() {
  if (!realTime_.joinable())
    realTime_ = std::thread([this] { RunRealTime(); });
}

bool TVirtualSoundBackend::Stopping(std::chrono::steady_clock::time_point until) {
  std::unique_lock lock(stopMutex_);
  stopWake_.wait_until(lock, until, [this] { return stopping_ || woken_; });
  woken_ = false;
  return stopping_;
}

void TVirtualSoundBackend::Wake() {
  {
    const std::lock_guard lock(stopMutex_);
    woken_ = true;
  }
  stopWake_.notify_one();
}

bool TVirtualSoundBackend::Quiet(std::int64_t samples) {
  {
    const std::lock_guard lock(streamMutex_);
    if (playback_ != nullptr)
      return false;
  }
  return scenario_.QuietUntil(position_) >= position_ + samples;
}

void TVirtualSoundBackend::RunRealTime() {
  pthread_setname_np(pthread_self(), "tarvok-virtual");
  using namespace std::chrono;
  const auto start = steady_clock::now();
  const std::int64_t origin = position_;
  auto next = start;
  for (;;) {
    const auto elapsed = duration_cast<microseconds>(steady_clock::now() - start).count();
    Advance(origin + elapsed * TScenario::kSampleRate / 1000000 - position_);
    next += milliseconds(10);
    if (Quiet(std::int64_t{kQuietMs} * TScenario::kSampleRate / 1000))
      next += milliseconds(kQuietMs - 10);
    if (Stopping(next))
      return;
    // Woken before its time: the frames go on from now.
    next = std::min(next, steady_clock::now());
  }
}

}  // namespace tarvok
