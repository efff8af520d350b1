// The station's streams on an ALSA card. Capture converts what the card's input delivers (mono, at
// the device's rate) to the stream's format through the anti-alias resampler, in blocks. Playback
// opens the output device for as long as it lives and writes its source's buffers on a thread that
// sleeps in poll, telling the source of each buffer the device has played.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "core/audio/block_assembler.h"
#include "core/audio/pcm_conversion.h"
#include "core/audio/playback_feeder.h"
#include "core/audio/sound_backend.h"
#include "platform/alsa/alsa_pcm.h"

namespace tarvok {

class TAlsaInput;

class TAlsaCapture final : public TAudioStream {
 public:
  TAlsaCapture(TAlsaInput& input, const TPcmFormat& format, int blockBytes, TCaptureSink& sink);
  ~TAlsaCapture() override;
  // The input's thread.
  void Feed(std::span<const std::int16_t> samples, int rate);

 private:
  TAlsaInput& input_;
  const TPcmFormat format_;
  TCaptureSink& sink_;
  int inputRate_ = 0;
  std::optional<TAntiAliasResampler> resampler_;
  std::vector<std::int16_t> resampled_;
  std::vector<std::byte> frames_;
  TBlockAssembler assembler_;
};

class TAlsaPlayback final : public TAudioStream {
 public:
  // Opens the device; 0 or a negative errno. `meter` shows the peak of what is written.
  static int Open(const QString& device, const TPcmFormat& format, int bufferBytes,
                  TPlaybackSource& source, TControlCell& meter,
                  std::unique_ptr<TAudioStream>& stream);
  ~TAlsaPlayback() override;

 private:
  TAlsaPlayback(const TPcmFormat& format, int bufferBytes, TPlaybackSource& source,
                TControlCell& meter);
  void Take(std::span<const std::byte> buffer);
  void Run();
  // Writes what the device takes; false when the device failed.
  bool WritePending();
  void NotifyPlayed();

  TAlsaPcm pcm_;
  const TPcmFormat format_;
  TPlaybackSource& source_;
  TControlCell& meter_;
  TPlaybackFeeder feeder_;
  std::optional<TResampler> resampler_;
  std::vector<std::int16_t> decoded_;
  std::vector<std::int16_t> resampled_;
  std::vector<std::byte> encoded_;
  std::deque<std::byte> pending_;    // device frames not written yet
  std::deque<std::int64_t> ends_;    // where each buffer ends, in frames taken
  std::deque<std::uint32_t> peaks_;  // each buffer's peak
  std::int64_t taken_ = 0;
  std::int64_t written_ = 0;
  bool closed_ = false;
  int wakeFd_ = -1;
  std::thread thread_;
};

}  // namespace tarvok
