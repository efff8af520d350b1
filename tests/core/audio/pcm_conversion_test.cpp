#include "core/audio/pcm_conversion.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarvok
