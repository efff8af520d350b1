#include "core/audio/pcm_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tarvok {
namespace {

TEST(PcmConversionTest, FormatsConvertBothWaysAndRatesAreInterpolated) {
  const std::vector<std::int16_t> samples{0, 1000, -1000, 32767, -32768};
  for (const int bits : {8, 16, 24, 32}) {
    std::vector<std::byte> frames;
    EncodeFrames(samples, 2, bits, frames);
    ASSERT_EQ(frames.size(), samples.size() * 2 * static_cast<std::size_t>(bits / 8));
    std::vector<std::int16_t> back;
    DecodeMono(frames, 2, bits, back);
    for (std::size_t i = 0; i < samples.size(); ++i)
      EXPECT_EQ(back[i], bits == 8 ? (samples[i] >> 8) * 256 : samples[i]) << bits;
  }
  // The same rate passes samples unchanged, however the blocks are cut.
  TResampler same(8000, 8000);
  std::vector<std::int16_t> out;
  same.Process(std::span(samples).first(2), out);
  same.Process(std::span(samples).subspan(2), out);
  EXPECT_EQ(out, samples);
  // Half the rate keeps every other sample; twice the rate adds the midpoints.
  TResampler down(16000, 8000);
  out.clear();
  down.Process(std::span(samples).first(3), out);
  down.Process(std::span(samples).subspan(3), out);
  EXPECT_EQ(out, (std::vector<std::int16_t>{0, -1000, -32768}));
  TResampler up(8000, 16000);
  out.clear();
  up.Process(std::span(samples).first(2), out);
  up.Process(std::span(samples).subspan(2), out);
  EXPECT_EQ(out, (std::vector<std::int16_t>{0, 500, 1000, 0, -1000, 15884, 32767, -1, -32768}));
}

// A tone at the source rate, converted in blocks of 10 ms as a card delivers them; the output's
// amplitude after the filter has settled, from its RMS (the samples miss the crests).
int LevelAfterConversion(int fromRate, int toRate, double frequency) {
  TAntiAliasResampler resampler(fromRate, toRate);
  std::vector<std::int16_t> out;
  const int block = fromRate / 100;
  for (int start = 0; start < fromRate; start += block) {
    std::vector<std::int16_t> in(static_cast<std::size_t>(block));
    for (int i = 0; i < block; ++i)
      in[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
          std::lround(16384 * std::sin(2 * M_PI * frequency * (start + i) / fromRate)));
    resampler.Process(in, out);
  }
  EXPECT_NEAR(static_cast<double>(out.size()), toRate, 2) << fromRate;
  double sum = 0;
  for (std::size_t i = out.size() / 2; i < out.size(); ++i)
    sum += static_cast<double>(out[i]) * out[i];
  return static_cast<int>(std::lround(std::sqrt(2 * sum / static_cast<double>(out.size() / 2))));
}

TEST(PcmConversionTest, ALowerRateKeepsItsBandAndFoldsNothingIntoIt) {
  for (const int cardRate : {48000, 44100}) {
    // DTMF and speech pass at their level.
    for (const double frequency : {697.0, 1633.0, 3000.0})
      EXPECT_NEAR(LevelAfterConversion(cardRate, 8000, frequency), 16384, 16384 * 0.02)
          << cardRate << " Hz card, " << frequency << " Hz";
    // Above half the new rate, which would fold to 1.5, 2 and 3 kHz: 60 dB down at least.
    for (const double frequency : {6500.0, 6000.0, 5000.0})
      EXPECT_LT(LevelAfterConversion(cardRate, 8000, frequency), 17)
          << cardRate << " Hz card, " << frequency << " Hz";
  }
  // Keeping the rate leaves samples as they are.
  TAntiAliasResampler same(8000, 8000);
  const std::vector<std::int16_t> samples{0, 1000, -1000, 32767, -32768};
  std::vector<std::int16_t> out;
  same.Process(samples, out);
  EXPECT_EQ(out, samples);
}

}  // namespace
}  // namespace tarvok
