#include "core/audio/playback_feeder.h"

#include <algorithm>

namespace tarvok {

TPlaybackFeeder::TPlaybackFeeder(TPlaybackSource& source, int bufferBytes, TTake take)
    : source_(source),
      buffer_(static_cast<std::size_t>(std::max(bufferBytes, 1))),
      take_(std::move(take)) {}

void TPlaybackFeeder::Start() {
  source_.PlaybackOpened();
  Fill();
}

void TPlaybackFeeder::Played() {
  if (queued_ > 0)
    --queued_;
  source_.BufferPlayed();
  Fill();
}

void TPlaybackFeeder::Fill() {
  while (queued_ < kQueuedBuffers) {
    const std::size_t bytes = std::min(source_.NextBuffer(buffer_), buffer_.size());
    if (bytes == 0)
      return;
    ++queued_;
    take_(std::span(buffer_).first(bytes));
  }
}

}  // namespace tarvok
