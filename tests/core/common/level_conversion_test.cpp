#include "core/common/level_conversion.h"

#include <gtest/gtest.h>

namespace tarvok {
namespace {

TEST(LevelConversionTest, DecibelsAndRawLevels) {
  EXPECT_EQ(DecibelsToLevel(1.0), 0);
  EXPECT_EQ(DecibelsToLevel(40), 100);
  EXPECT_EQ(DecibelsToLevel(250), 100);
  EXPECT_EQ(DecibelsToLevel(61), 1122);
  EXPECT_EQ(DecibelsToLevel(55), 562);
  // Levels too large for an integer saturate instead of overflowing.
  EXPECT_EQ(DecibelsToLevel(195), 2147483647);
  EXPECT_DOUBLE_EQ(LevelToDecibels(1), 0.0);
  EXPECT_DOUBLE_EQ(LevelToDecibels(100), 40.0);
  EXPECT_DOUBLE_EQ(LevelToDecibels(-5), 0.0);
  EXPECT_NEAR(LevelToDecibels(32768), 90.3, 0.01);
}

}  // namespace
}  // namespace tarvok
