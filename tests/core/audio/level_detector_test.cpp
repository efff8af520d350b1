// The poller's arithmetic: folding, the four smoothing rules and the delayed flags.
#include <gtest/gtest.h>

#include <vector>

#include "core/audio/level_detector.h"

namespace tarvok {
namespace {

std::vector<std::int32_t> Smooth(std::int32_t level, std::vector<std::int64_t> readings,
                                 std::uint8_t mode, bool recording = false) {
  std::vector<std::int32_t> levels;
  for (const std::int64_t v : readings) {
    level = SmoothLevel(level, v, mode, recording);
    levels.push_back(level);
  }
  return levels;
}

TEST(LevelSmoothingTest, SignedMetersFoldTheUpperHalfAsTwosComplement) {
  EXPECT_EQ(FoldReading(65535, true), 1);
  EXPECT_EQ(FoldReading(32768, true), 32768);
  EXPECT_EQ(FoldReading(32767, true), 32767);
  EXPECT_EQ(FoldReading(65535, false), 65535);
  // A reading that is negative as a 32-bit integer counts by its magnitude, without overflow.
  EXPECT_EQ(FoldReading(0xFFFFFFFFu, false), 1);
  EXPECT_EQ(FoldReading(0x80000000u, false), 2147483647);
}

TEST(LevelSmoothingTest, TheFourRules) {
  EXPECT_EQ(Smooth(0, {100, 100, 100}, kAverage), (std::vector<std::int32_t>{50, 75, 87}));
  EXPECT_EQ(Smooth(0, {100, 0, 0}, kMaximum), (std::vector<std::int32_t>{100, 50, 25}));
  EXPECT_EQ(Smooth(100, {0, 200}, kMinimum), (std::vector<std::int32_t>{0, 100}));
  EXPECT_EQ(Smooth(0, {100, 0, 0}, kExtended, false), (std::vector<std::int32_t>{100, 50, 25}));
  EXPECT_EQ(Smooth(100, {0, 200}, kExtended, true), (std::vector<std::int32_t>{0, 100}));
  EXPECT_EQ(Smooth(40, {100}, 7), (std::vector<std::int32_t>{40}));
}

TEST(LevelSmoothingTest, TheSumIsFormedIn64Bits) {
  EXPECT_EQ(SmoothLevel(2147483647, 2147483647, kAverage, false), 2147483647);
}

class TraceFlagTest : public ::testing::Test {
 protected:
  TraceFlagTest() {
    flag_.SetThreshold(1000);
    flag_.SetOnDelay(100);
    flag_.SetOffDelay(50);
    flag_.Reset();
  }
  // Polls with one level until the flag flips; the number of polls, or -1 after 1000.
  int PollsUntilFlip(std::int64_t level) {
    const bool start = flag_.Present();
    for (int polls = 1; polls <= 1000; ++polls) {
      flag_.Update(level);
      if (flag_.Present() != start)
        return polls;
    }
    return -1;
  }

  TTraceFlag flag_{5};
};

TEST_F(TraceFlagTest, TurnsOnAfterTheOnDelayAndOffAfterTheOffDelay) {
  EXPECT_EQ(PollsUntilFlip(1001), 20);
  EXPECT_EQ(PollsUntilFlip(0), 10);
  EXPECT_EQ(PollsUntilFlip(5000), 20);
}

TEST_F(TraceFlagTest, ALevelEqualToTheThresholdNeverTurnsItOnAndCountsTowardsOff) {
  EXPECT_EQ(PollsUntilFlip(1000), -1);
  ASSERT_EQ(PollsUntilFlip(1001), 20);
  EXPECT_EQ(PollsUntilFlip(1000), 10);
}

TEST_F(TraceFlagTest, OnePollOnTheOtherSideRestartsTheCount) {
  for (int i = 0; i < 19; ++i)
    flag_.Update(2000);
  flag_.Update(0);
  EXPECT_FALSE(flag_.Present());
  EXPECT_EQ(PollsUntilFlip(2000), 20);
}

TEST_F(TraceFlagTest, AnOffDelaySetWhilePresentChangesOnlyTheReload) {
  ASSERT_EQ(PollsUntilFlip(2000), 20);
  for (int i = 0; i < 4; ++i)
    flag_.Update(0);
  flag_.SetOffDelay(200);
  EXPECT_EQ(flag_.Reload(), 40);
  EXPECT_EQ(flag_.Counter(), 6);
  // The running count goes on: six more polls turn the flag off.
  EXPECT_EQ(PollsUntilFlip(0), 6);
  // Back on, the new delay applies.
  ASSERT_EQ(PollsUntilFlip(2000), 20);
  EXPECT_EQ(PollsUntilFlip(0), 40);
}

TEST_F(TraceFlagTest, AnOffDelaySetWhileAbsentTakesEffectAtTheNextSwitchOn) {
  flag_.SetOffDelay(25);
  EXPECT_EQ(flag_.Reload(), 20);
  ASSERT_EQ(PollsUntilFlip(2000), 20);
  EXPECT_EQ(flag_.Reload(), 5);
  EXPECT_EQ(PollsUntilFlip(0), 5);
}

TEST_F(TraceFlagTest, AnOnDelaySetWhileAbsentReloadsAtOnce) {
  flag_.SetOnDelay(30);
  EXPECT_EQ(flag_.Reload(), 6);
  flag_.Update(0);
  EXPECT_EQ(PollsUntilFlip(2000), 6);
}

TEST_F(TraceFlagTest, ResetTurnsTheFlagOffAndReloadsTheCounter) {
  ASSERT_EQ(PollsUntilFlip(2000), 20);
  flag_.Reset();
  EXPECT_FALSE(flag_.Present());
  EXPECT_EQ(flag_.Counter(), 10);
}

}  // namespace
}  // namespace tarvok
