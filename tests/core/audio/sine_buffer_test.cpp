#include "core/audio/sine_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tarvok {
namespace {

std::vector<std::int16_t> ToneElement(TSineBuffer& sine) {
  std::vector<std::int16_t> samples(static_cast<std::size_t>(sine.ElementBytes() / 2));
  EXPECT_EQ(sine.Tone(samples.data(), sine.ElementBytes(), 0), sine.ElementBytes());
  return samples;
}

TEST(SineBufferTest, ElementsAreWholeEvenByteCountsAt44100) {
  TSineBuffer sine;
  const std::pair<int, int> cases[] = {{100, 8820}, {1, 88}, {3, 264}, {7, 618}, {66, 5822}};
  for (const auto& [ms, bytes] : cases) {
    sine.SetElementLength(ms);
    EXPECT_EQ(sine.ElementBytes(), bytes) << ms << " ms";
  }
}

TEST(SineBufferTest, VolumeSetsThePeakAndZeroIsSilent) {
  TSineBuffer sine;
  sine.SetVolume(0);
  const auto silent = ToneElement(sine);
  EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](auto s) { return s == 0; }));

  sine.SetVolume(16384);
  sine.SetFrequency(441.0L);  // 100 samples a cycle: the peak sample is reached
  const auto tone = ToneElement(sine);
  EXPECT_EQ(*std::max_element(tone.begin(), tone.end()), 16384);
  EXPECT_EQ(*std::min_element(tone.begin(), tone.end()), -16384);
}

TEST(SineBufferTest, ToneContinuesThePhaseAcrossCallsAndSilenceDoesNotAdvanceIt) {
  TSineBuffer reference;
  std::vector<std::int16_t> whole(8820);
  reference.Tone(whole.data(), 8820, 0);
  reference.Tone(whole.data() + 4410, 8820, 0);

  TSineBuffer sine;
  std::vector<std::int16_t> pieces(8820);
  std::vector<std::int16_t> gap(4410, 1);
  EXPECT_EQ(sine.Tone(pieces.data(), 1000, 0), 1000);
  EXPECT_EQ(sine.Tone(pieces.data() + 500, 100000, 1000), 7820);
  EXPECT_EQ(sine.Silence(gap.data(), 100000, 0), 8820);
  EXPECT_TRUE(std::all_of(gap.begin(), gap.end(), [](auto s) { return s == 0; }));
  sine.Tone(pieces.data() + 4410, 8820, 0);
  EXPECT_EQ(pieces, whole);
}

}  // namespace
}  // namespace tarvok
