#include "core/common/rounding.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarvok {
namespace {

// Rounding halves away from zero instead would move levels, filter output and tone tables.
TEST(RoundingTest, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, double> cases[] = {
      {0.5, 0.0}, {1.5, 2.0}, {2.5, 2.0}, {-2.5, -2.0}, {2.5000001, 3.0}};
  for (const auto& [value, rounded] : cases)
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
  EXPECT_EQ(RoundHalfEven(32766.5L), 32766.0L);
}

}  // namespace
}  // namespace tarvok
