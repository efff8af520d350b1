#include "platform/pulse/pulse_meter.h"

#include <algorithm>
#include <cmath>

#include "platform/pulse/pulse_lock.h"
#include "platform/pulse/pulse_stream.h"

namespace tarvok {

TPulseMeter::TPulseMeter(pa_context* context, const QString& source, const pa_channel_map& channels,
                         std::uint32_t sampleRate, bool peakDetect, TControlCell& cell)
    : cell_(cell) {
  // A peak-detecting stream's every frame is the peak of 10 ms.
  const std::uint32_t rate =
      peakDetect ? kWindowsPerSecond : std::max<std::uint32_t>(sampleRate, kWindowsPerSecond);
  const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE, rate, channels.channels};
  windowSamples_ =
      std::max<std::size_t>(1, sampleFormat.rate / kWindowsPerSecond) * sampleFormat.channels;
  stream_ = pa_stream_new(context, "Peak meter", &sampleFormat, &channels);
  if (stream_ == nullptr)
    return;
  pa_stream_set_read_callback(stream_, &Read, this);
  pa_stream_set_state_callback(stream_, &State, this);
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.fragsize = static_cast<std::uint32_t>(windowSamples_ * sizeof(float));
  const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_DONT_MOVE | PA_STREAM_ADJUST_LATENCY |
                                                    (peakDetect ? PA_STREAM_PEAK_DETECT : 0));
  if (pa_stream_connect_record(stream_, source.toUtf8().constData(), &attr, flags) < 0)
    DropStream(stream_);
}

TPulseMeter::~TPulseMeter() {
  DropStream(stream_);
  cell_.Publish(0);
}

bool TPulseMeter::Alive() const {
  if (stream_ == nullptr)
    return false;
  const pa_stream_state_t state = pa_stream_get_state(stream_);
  return state == PA_STREAM_READY || state == PA_STREAM_CREATING;
}

void TPulseMeter::Read(pa_stream* stream, std::size_t, void* self) {
  TPulseCallbackScope scope;
  auto* meter = static_cast<TPulseMeter*>(self);
  const void* data = nullptr;
  std::size_t bytes = 0;
  while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 &&
         bytes > 0) {
    // A hole in the stream is heard as silence.
    meter->Take(static_cast<const float*>(data), bytes / sizeof(float));
    pa_stream_drop(stream);
  }
}

void TPulseMeter::Take(const float* samples, std::size_t count) {
  for (std::size_t i = 0; i < count;) {
    const std::size_t n = std::min(count - i, windowSamples_ - filled_);
    for (std::size_t k = i; samples != nullptr && k < i + n; ++k)
      peak_ = std::max(peak_, std::fabs(samples[k]));
    i += n;
    filled_ += n;
    if (filled_ == windowSamples_) {
      cell_.Publish(static_cast<std::uint32_t>(std::lround(std::min(peak_, 1.0f) * kMaximum)));
      filled_ = 0;
      peak_ = 0.0f;
    }
  }
}

void TPulseMeter::State(pa_stream* stream, void* self) {
  TPulseCallbackScope scope;
  const pa_stream_state_t state = pa_stream_get_state(stream);
  if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
    static_cast<TPulseMeter*>(self)->cell_.Publish(0);
}

}  // namespace tarvok
