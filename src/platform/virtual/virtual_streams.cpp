#include "platform/virtual/virtual_streams.h"

#include <algorithm>

#include "platform/virtual/virtual_sound_backend.h"

namespace tarvok {

TVirtualCapture::TVirtualCapture(TVirtualSoundBackend& card, const TPcmFormat& format,
                                 int blockBytes, TCaptureSink& sink)
    : card_(card),
      format_(format),
      sink_(sink),
      resampler_(TScenario::kSampleRate, format.SampleRate),
      assembler_(blockBytes, [this](std::span<const std::byte> b) { sink_.CaptureData(b); }) {}

TVirtualCapture::~TVirtualCapture() {
  card_.Unpublish(card_.capture_);
  sink_.CaptureTail(assembler_.TakePartial());
  sink_.CaptureClosed();
}

void TVirtualCapture::Feed(std::span<const std::int16_t> samples) {
  resampled_.clear();
  resampler_.Process(samples, resampled_);
  frames_.clear();
  EncodeFrames(resampled_, format_.Channels, format_.BitsPerSample, frames_);
  assembler_.Append(frames_);
}

TVirtualPlayback::TVirtualPlayback(TVirtualSoundBackend& card, const TPcmFormat& format,
                                   int bufferBytes, TPlaybackSource& source)
    : card_(card),
      format_(format),
      source_(source),
      feeder_(source, bufferBytes, [this](std::span<const std::byte> b) { Take(b); }),
      resampler_(format.SampleRate, TScenario::kSampleRate) {}

TVirtualPlayback::~TVirtualPlayback() {
  card_.Unpublish(card_.playback_);
  source_.PlaybackClosed();
}

void TVirtualPlayback::Take(std::span<const std::byte> buffer) {
  decoded_.clear();
  DecodeMono(buffer, format_.Channels, format_.BitsPerSample, decoded_);
  resampled_.clear();
  resampler_.Process(decoded_, resampled_);
  samples_.insert(samples_.end(), resampled_.begin(), resampled_.end());
  taken_ += static_cast<std::int64_t>(resampled_.size());
  ends_.push_back(taken_);
}

void TVirtualPlayback::Mix(std::span<std::int16_t> out) {
  const std::size_t n = std::min(out.size(), samples_.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int sum = out[i] + samples_.front();
    out[i] = static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
    samples_.pop_front();
  }
  mixed_ += static_cast<std::int64_t>(n);
  while (!ends_.empty() && ends_.front() <= mixed_) {
    ends_.pop_front();
    ++played_;
  }
}

void TVirtualPlayback::NotifyPlayed() {
  for (; played_ > 0; --played_)
    feeder_.Played();
}

}  // namespace tarvok
