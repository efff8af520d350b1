#include "core/audio/element_player.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvok {
namespace {

constexpr int kBlock = 44100;

std::vector<std::int16_t> PlayAll(TElementPlayer& player) {
  std::vector<std::int16_t> out;
  std::vector<std::uint8_t> buffer(kBlock);
  player.GetData(nullptr, 0);
  for (int count; (count = player.GetData(buffer.data(), kBlock)) > 0;) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(buffer.data());
    out.insert(out.end(), samples, samples + count / 2);
    player.Render();
  }
  return out;
}

TEST(ElementPlayerTest, PlaysToneSilenceToneWithOnePhase) {
  TSineBuffer sine;
  TElementPlayer player(sine, kBlock);
  player.SetCWText("x x");
  const auto played = PlayAll(player);
  ASSERT_EQ(played.size(), 3u * 4410);

  TSineBuffer reference;
  std::vector<std::int16_t> tone(8820);
  reference.Tone(tone.data(), 8820, 0);
  reference.Tone(tone.data() + 4410, 8820, 0);
  EXPECT_TRUE(std::equal(tone.begin(), tone.begin() + 4410, played.begin()));
  EXPECT_TRUE(
      std::all_of(played.begin() + 4410, played.begin() + 8820, [](auto s) { return s == 0; }));
  EXPECT_TRUE(std::equal(tone.begin() + 4410, tone.end(), played.begin() + 8820));
}

TEST(ElementPlayerTest, ElementsLongerThanABlockSpanSeveralBlocks) {
  TSineBuffer sine;
  sine.SetElementLength(700);  // 61740 bytes: more than one block
  TElementPlayer player(sine, kBlock);
  player.SetCWText("xx");
  EXPECT_EQ(PlayAll(player).size(), 2u * 61740 / 2);
}

TEST(ElementPlayerTest, AnEmptyOrUnsetStringPlaysNothing) {
  TSineBuffer sine;
  TElementPlayer player(sine, kBlock);
  EXPECT_TRUE(PlayAll(player).empty());
  player.SetCWText("");
  EXPECT_TRUE(PlayAll(player).empty());
}

}  // namespace
}  // namespace tarvok
