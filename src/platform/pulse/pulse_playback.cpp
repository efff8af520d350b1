#include "platform/pulse/pulse_playback.h"

#include <pulse/error.h>
#include <pulse/rtclock.h>
#include <pulse/timeval.h>

#include <algorithm>

#include "platform/pulse/pulse_lock.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "platform/pulse/pulse_stream.h"

namespace tarvok {

namespace {

constexpr pa_usec_t kTickUsec = 20 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kRestUsec = 50 * PA_USEC_PER_MSEC;

}  // namespace

bool PulseSampleSpec(const TPcmFormat& format, pa_sample_spec& sampleFormat) {
  switch (format.BitsPerSample) {
    case 8:
      sampleFormat.format = PA_SAMPLE_U8;
      break;
    case 16:
      sampleFormat.format = PA_SAMPLE_S16LE;
      break;
    case 24:
      sampleFormat.format = PA_SAMPLE_S24LE;
      break;
    case 32:
      sampleFormat.format = PA_SAMPLE_S32LE;
      break;
    default:
      return false;
  }
  sampleFormat.rate = static_cast<std::uint32_t>(std::max(format.SampleRate, 0));
  sampleFormat.channels = static_cast<std::uint8_t>(std::clamp(format.Channels, 0, 255));
  return format.Channels >= 1 && pa_sample_spec_valid(&sampleFormat) != 0;
}

TPulsePlayback::TPulsePlayback(TPulseSoundBackend& backend, const pa_sample_spec& sampleFormat,
                               int bufferBytes, TPlaybackSource& source)
    : backend_(backend),
      sampleFormat_(sampleFormat),
      source_(source),
      feeder_(source, bufferBytes, [this](std::span<const std::byte> b) { Write(b); }) {}

TPulsePlayback::~TPulsePlayback() {
  {
    TPulseLock lock(backend_.loop_);
    Close();
    if (backend_.playback_ == this)
      backend_.playback_ = nullptr;
  }
  if (opened_ && !closed_)
    source_.PlaybackClosed();
}

TAudioResult TPulsePlayback::Open(pa_context* context, const QString& sink) {
  context_ = context;
  stream_ = pa_stream_new(context, "Playback", &sampleFormat_, nullptr);
  if (stream_ == nullptr)
    return TAudioResult::Fail(TAudioResult::kError,
                              QString::fromUtf8(pa_strerror(pa_context_errno(context))));
  pa_stream_set_state_callback(stream_, &State, this);
  pa_stream_set_underflow_callback(stream_, &Underflow, this);
  const auto flags = static_cast<pa_stream_flags_t>(
      PA_STREAM_DONT_MOVE | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
  const QByteArray device = sink.toUtf8();
  if (pa_stream_connect_playback(stream_, sink.isEmpty() ? nullptr : device.constData(), nullptr,
                                 flags, nullptr, nullptr) == 0) {
    while (pa_stream_get_state(stream_) == PA_STREAM_CREATING) {
      AnnounceUnlocking();
      pa_threaded_mainloop_wait(backend_.loop_);
      AnnounceLocked();
    }
  }
  if (pa_stream_get_state(stream_) != PA_STREAM_READY) {
    const QString reason = QString::fromUtf8(pa_strerror(pa_context_errno(context)));
    Close();
    return TAudioResult::Fail(
        TAudioResult::kError,
        sink.isEmpty() ? reason : QStringLiteral("%1 (sink %2)").arg(reason, sink));
  }
  opened_ = true;
  feeder_.Start();
  timer_ = pa_context_rttime_new(context, pa_rtclock_now() + kTickUsec, &Tick, this);
  return TAudioResult::Ok();
}

void TPulsePlayback::Write(std::span<const std::byte> buffer) {
  if (stream_ == nullptr)
    return;
  if (pa_stream_write(stream_, buffer.data(), buffer.size(), nullptr, 0, PA_SEEK_RELATIVE) < 0) {
    // A buffer that never plays would hold the playback, and the transmitter, for ever.
    Disconnect();
    return;
  }
  underflow_ = false;
  written_ += static_cast<std::int64_t>(buffer.size());
  ends_.push_back(written_);
  // Playback starts even when the data is less than the server's prebuffer.
  if (pa_operation* op = pa_stream_trigger(stream_, nullptr, nullptr))
    pa_operation_unref(op);
}

void TPulsePlayback::Tick(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
  TPulseCallbackScope scope;
  auto* playback = static_cast<TPulsePlayback*>(self);
  playback->CheckPlayed();
  if (playback->timer_ != nullptr)
    pa_context_rttime_restart(playback->context_, playback->timer_, pa_rtclock_now() + kTickUsec);
}

void TPulsePlayback::CheckPlayed() {
  pa_usec_t latency = 0;
  int negative = 0;
  if (stream_ == nullptr || pa_stream_get_latency(stream_, &latency, &negative) < 0)
    return;
  const auto pending =
      negative != 0 ? 0 : static_cast<std::int64_t>(pa_usec_to_bytes(latency, &sampleFormat_));
  // All is played once the server ran out of data and has taken it from the stream, however long
  // the sink's latency still seems; PipeWire may hold back a rest shorter than its period.
  const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
  const bool taken = underflow_ && timing != nullptr && timing->read_index_corrupt == 0 &&
                     timing->read_index >= written_ - static_cast<std::int64_t>(pa_usec_to_bytes(
                                                          kRestUsec, &sampleFormat_));
  const std::int64_t played = taken ? written_ : written_ - pending;
  std::size_t done = 0;
  while (done < ends_.size() && ends_[done] <= played)
    ++done;
  Played(done);
}

void TPulsePlayback::Played(std::size_t buffers) {
  // The source may hand over the next buffer while it hears of each one.
  for (; buffers > 0 && stream_ != nullptr && !ends_.empty(); --buffers) {
    ends_.pop_front();
    feeder_.Played();
  }
}

void TPulsePlayback::Underflow(pa_stream*, void* self) {
  TPulseCallbackScope scope;
  // The server ran out of data; PipeWire says so also before it has played the first buffer, so
  // the stream's position tells how much was played.
  auto* playback = static_cast<TPulsePlayback*>(self);
  playback->underflow_ = true;
  playback->CheckPlayed();
}

void TPulsePlayback::State(pa_stream* stream, void* self) {
  TPulseCallbackScope scope;
  auto* playback = static_cast<TPulsePlayback*>(self);
  const pa_stream_state_t state = pa_stream_get_state(stream);
  pa_threaded_mainloop_signal(playback->backend_.loop_, 0);
  // A sink that went away ends the stream: it is not moved anywhere else.
  if (playback->opened_ && (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED))
    playback->Disconnect();
}

void TPulsePlayback::Disconnect() {
  if (closed_)
    return;
  Close();
  if (opened_) {
    closed_ = true;
    source_.PlaybackClosed();
  }
}

void TPulsePlayback::Close() {
  if (timer_ != nullptr) {
    pa_threaded_mainloop_get_api(backend_.loop_)->time_free(timer_);
    timer_ = nullptr;
  }
  if (stream_ == nullptr)
    return;
  DropStream(stream_);
  ends_.clear();
}

}  // namespace tarvok
