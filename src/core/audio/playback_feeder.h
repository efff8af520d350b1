// The buffer policy that every back end's playback stream shares: two buffers asked for when the
// stream opens, one more after each buffer has been played. The back end hands each buffer the
// source filled to `take`, which copies it; the feeder allocates only when it is created.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "core/audio/sound_backend.h"

namespace tarvok {

class TPlaybackFeeder {
 public:
  static constexpr int kQueuedBuffers = 2;
  using TTake = std::function<void(std::span<const std::byte> buffer)>;

  TPlaybackFeeder(TPlaybackSource& source, int bufferBytes, TTake take);

  // Tells the source that the stream runs and asks for the first buffers.
  void Start();
  // One queued buffer has been played: tells the source and asks for the next one.
  void Played();
  int Queued() const { return queued_; }

 private:
  void Fill();

  TPlaybackSource& source_;
  std::vector<std::byte> buffer_;
  TTake take_;
  int queued_ = 0;
};

}  // namespace tarvok
