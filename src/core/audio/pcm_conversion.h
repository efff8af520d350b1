// Conversions between 16-bit mono samples and PCM frames of any channel count, 8 to 32 bits, and
// between rates: how WAV files and the virtual card's streams are turned into one kind of audio.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarvok {

// Appends one mono sample per whole frame: the channels' average, cut to 16 bits.
void DecodeMono(std::span<const std::byte> frames, int channels, int bitsPerSample,
                std::vector<std::int16_t>& out);
// Appends each sample as a frame with every channel the same.
void EncodeFrames(std::span<const std::int16_t> samples, int channels, int bitsPerSample,
                  std::vector<std::byte>& out);

// Linear interpolation onto another rate, block by block; at the same rate samples pass unchanged.
class TResampler {
 public:
  TResampler(int fromRate, int toRate);
  // Appends the samples that fall within `in`; later blocks continue where this one ended.
  void Process(std::span<const std::int16_t> in, std::vector<std::int16_t>& out);

 private:
  const std::int64_t from_;
  const std::int64_t to_;
  std::int64_t position_ = 0;  // of the next output, in 1/to_ input samples from this block's start
  std::int16_t previous_ = 0;  // the last input sample of the block before
};

// Linear interpolation onto another rate after a low-pass filter below the new rate's half, so
// that a lower rate folds nothing back into the band it keeps (speech above 4 kHz into the DTMF
// tones). The filter is evaluated only at the samples that the interpolation reads. Raising the
// rate, or keeping it, leaves the samples unfiltered.
class TAntiAliasResampler {
 public:
  TAntiAliasResampler(int fromRate, int toRate);
  void Process(std::span<const std::int16_t> in, std::vector<std::int16_t>& out);

 private:
  double Filtered(std::size_t index) const;

  const std::int64_t from_;
  const std::int64_t to_;
  std::vector<double> taps_;
  std::vector<double> history_;  // the inputs the filter still needs, then the block
  std::int64_t position_ = 0;    // of the next output, in 1/to_ samples of history_
};

}  // namespace tarvok
