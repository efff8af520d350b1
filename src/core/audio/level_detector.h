// The arithmetic of the level poller, apart from its thread: how a peak-meter reading is folded and
// smoothed into a level, and how a trace's signal-present flag follows that level with switch-on
// and switch-off delays counted in polls.
#pragma once

#include <atomic>
#include <cstdint>

namespace tarvok {

// The smoothing rules, by the setting "Average".
enum TAveragingMode : std::uint8_t {
  kAverage = 0,   // L = (L + v) / 2
  kMaximum = 1,   // L = v when v > L, else (L + v) / 2
  kMinimum = 2,   // L = v when v < L, else (L + v) / 2
  kExtended = 3,  // Maximum while not recording, Minimum while recording
};

// The absolute value of a reading; a signed meter's readings of 32768 and above are folded as
// 16-bit two's complement.
std::int64_t FoldReading(std::uint32_t value, bool isSigned);

// The new level after one folded reading v; the sum is formed in 64 bits and halved by a shift.
// An unknown mode leaves the level as it is.
std::int32_t SmoothLevel(std::int32_t level, std::int64_t v, std::uint8_t mode, bool recording);

// One trace's signal-present flag. The poller calls Update; the owner sets the threshold and the
// delays from another thread, so every field is a single atomic value.
class TTraceFlag {
 public:
  static constexpr std::int32_t kDefault = 65535;

  explicit TTraceFlag(std::int32_t interval) : interval_(interval) {}

  bool Present() const { return present_.load(std::memory_order_relaxed); }
  std::int64_t Threshold() const { return threshold_.load(std::memory_order_relaxed); }
  void SetThreshold(std::int64_t value) { threshold_.store(value, std::memory_order_relaxed); }
  std::int32_t OnDelay() const { return onDelay_.load(std::memory_order_relaxed); }
  std::int32_t OffDelay() const { return offDelay_.load(std::memory_order_relaxed); }
  std::int32_t Counter() const { return counter_.load(std::memory_order_relaxed); }
  std::int32_t Reload() const { return reload_.load(std::memory_order_relaxed); }

  // Store the delay in milliseconds; when the flag is in the state that this delay ends, the
  // reload value follows at once while the running count goes on.
  void SetOnDelay(std::int32_t ms);
  void SetOffDelay(std::int32_t ms);
  // Flag off, counter back to its reload value.
  void Reset();
  // One poll: a level above the threshold counts towards on, at or below it towards off.
  void Update(std::int64_t level);

 private:
  const std::int32_t interval_;
  std::atomic<std::int64_t> threshold_{0};
  std::atomic<std::int32_t> onDelay_{kDefault};
  std::atomic<std::int32_t> offDelay_{kDefault};
  std::atomic<std::int32_t> counter_{kDefault};
  std::atomic<std::int32_t> reload_{kDefault};
  std::atomic<bool> present_{false};
};

}  // namespace tarvok
