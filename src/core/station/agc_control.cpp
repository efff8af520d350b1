#include "core/station/agc_control.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/common/clock.h"
#include "core/common/level_conversion.h"
#include "core/common/rounding.h"
#include "core/station/trace_source_levels.h"

namespace tarvok {

std::optional<int> TAgcControl::Tick(const TAgcInput& input, const TClock& clock) {
  if (!input.Enabled || !input.SignalPresent || input.Level <= 0)
    return std::nullopt;
  level_ = (static_cast<std::uint32_t>(input.Level) + level_) / 2;
  // The reading wraps every minute; a wrap counts as time passed.
  const TSystemTime time = clock.LocalTime();
  const int now = time.Second * 1000 + time.Milliseconds;
  if (std::abs(now - lastTime_) <= kInterval)
    return std::nullopt;
  lastTime_ = now;
  // The running level stays within the range of the readings, so it fits an int.
  const auto x =
      input.LinearScale
          ? std::int64_t{level_}
          : static_cast<std::int64_t>(RoundHalfEven(LevelToDecibels(static_cast<int>(level_))));
  if (x == 0 || (input.Levels.Low <= x && x <= input.Levels.High))
    return std::nullopt;
  const std::int64_t p = std::int64_t{input.Levels.Middle} * input.Position / x;
  if (p < kMinimumPosition)
    return std::nullopt;
  return static_cast<int>(std::min<std::int64_t>(p, kFaderMaximum));
}

}  // namespace tarvok
