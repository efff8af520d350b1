#include "core/common/level_conversion.h"

#include <cmath>
#include <limits>

#include "core/common/rounding.h"

namespace tarvok {

double LevelToDecibels(int value) {
  return value > 1 ? 20.0 * std::log10(static_cast<double>(value)) : 0.0;
}

int DecibelsToLevel(double db) {
  if (db <= 1.0)
    return 0;
  // Levels above 200 dB do not fit an integer; they have always read as 100.
  if (db > 200.0)
    return 100;
  // From 186.6 dB on the level no longer fits an integer: it saturates.
  const double level = RoundHalfEven(std::pow(10.0, db / 20.0));
  return level >= static_cast<double>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(level);
}

}  // namespace tarvok
