#include "core/audio/level_detector.h"

#include <limits>

namespace tarvok {

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
}

std::int64_t FoldReading(std::uint32_t value, bool isSigned) {
  // Readings are taken as 32-bit signed integers, as the meters deliver them.
  std::int64_t v = static_cast<std::int32_t>(value);
  if (isSigned && v > 32767)
    v = 65536 - v;
  v = v < 0 ? -v : v;
  return v > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                      : v;
}

std::int32_t SmoothLevel(std::int32_t level, std::int64_t v, std::uint8_t mode, bool recording) {
  if (mode == kExtended)
    mode = recording ? kMinimum : kMaximum;
  const auto half = static_cast<std::int32_t>((level + v) >> 1);
  switch (mode) {
    case kAverage:
      return half;
    case kMaximum:
      return v > level ? static_cast<std::int32_t>(v) : half;
    case kMinimum:
      return v < level ? static_cast<std::int32_t>(v) : half;
    default:
      return level;
  }
}

void TTraceFlag::SetOnDelay(std::int32_t ms) {
  onDelay_.store(ms, kRelaxed);
  if (!Present())
    reload_.store(ms / interval_, kRelaxed);
}

void TTraceFlag::SetOffDelay(std::int32_t ms) {
  offDelay_.store(ms, kRelaxed);
  if (Present())
    reload_.store(ms / interval_, kRelaxed);
}

void TTraceFlag::Reset() {
  present_.store(false, kRelaxed);
  counter_.store(Reload(), kRelaxed);
}

void TTraceFlag::Update(std::int64_t level) {
  const bool present = Present();
  const bool above = level > Threshold();
  if (above == present) {
    counter_.store(Reload(), kRelaxed);
    return;
  }
  const std::int32_t counter = Counter() - 1;
  if (counter > 0) {
    counter_.store(counter, kRelaxed);
    return;
  }
  // The flag flips; the count starts over with the delay that ends the new state.
  const std::int32_t reload = (present ? OnDelay() : OffDelay()) / interval_;
  reload_.store(reload, kRelaxed);
  counter_.store(reload, kRelaxed);
  present_.store(!present, kRelaxed);
}

}  // namespace tarvok
