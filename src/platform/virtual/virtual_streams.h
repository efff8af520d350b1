// The capture and playback streams of the virtual card. Capture turns the receiver, as recorded,
// into blocks of the stream's format; playback turns the buffers of its source into the card's
// audio, which the card mixes into what the PC plays.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "core/audio/block_assembler.h"
#include "core/audio/pcm_conversion.h"
#include "core/audio/playback_feeder.h"
#include "core/audio/sound_backend.h"

namespace tarvok {

class TVirtualSoundBackend;

class TVirtualCapture final : public TAudioStream {
 public:
  TVirtualCapture(TVirtualSoundBackend& card, const TPcmFormat& format, int blockBytes,
                  TCaptureSink& sink);
  ~TVirtualCapture() override;
  // Rendering thread.
  void Feed(std::span<const std::int16_t> samples);

 private:
  TVirtualSoundBackend& card_;
  const TPcmFormat format_;
  TCaptureSink& sink_;
  TResampler resampler_;
  std::vector<std::int16_t> resampled_;
  std::vector<std::byte> frames_;
  TBlockAssembler assembler_;
};

class TVirtualPlayback final : public TAudioStream {
 public:
  TVirtualPlayback(TVirtualSoundBackend& card, const TPcmFormat& format, int bufferBytes,
                   TPlaybackSource& source);
  ~TVirtualPlayback() override;
  // Asks for the first buffers, on the thread that opens the stream.
  void Start() { feeder_.Start(); }
  // Rendering thread: adds the next samples to `out`, then, in NotifyPlayed, tells the source
  // about each buffer that has been played to its end.
  void Mix(std::span<std::int16_t> out);
  void NotifyPlayed();

 private:
  void Take(std::span<const std::byte> buffer);

  TVirtualSoundBackend& card_;
  const TPcmFormat format_;
  TPlaybackSource& source_;
  TPlaybackFeeder feeder_;
  TResampler resampler_;
  std::vector<std::int16_t> decoded_;
  std::vector<std::int16_t> resampled_;
  std::deque<std::int16_t> samples_;
  std::deque<std::int64_t> ends_;  // where each queued buffer ends, in samples taken
  std::int64_t taken_ = 0;
  std::int64_t mixed_ = 0;
  int played_ = 0;
};

}  // namespace tarvok
