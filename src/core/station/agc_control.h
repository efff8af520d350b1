// Automatic gain control of one trace: while the trace hears a signal, its running level is kept,
// and at most about five times a second the volume fader is moved in proportion towards the
// middle of the wanted band when the level lies outside it. The fader never goes below 1000.
#pragma once

#include <cstdint>
#include <optional>

#include "core/config/config.h"

namespace tarvok {

class TClock;

// What one tick looks at.
struct TAgcInput {
  bool Enabled = false;
  bool SignalPresent = false;
  std::int32_t Level = 0;  // smoothed peak-meter level
  bool LinearScale = true;
  TAgcLevels Levels;  // in raw units on the linear scale, in dB otherwise
  int Position = 0;   // the volume fader
};

class TAgcControl {
 public:
  static constexpr int kMinimumPosition = 1000;
  static constexpr int kInterval = 200;  // milliseconds between moves, at least

  // The fader position to move to, or nothing. The clock is read only while a signal is heard.
  std::optional<int> Tick(const TAgcInput& input, const TClock& clock);
  // Lets the next tick move at once.
  void ResetTime() { lastTime_ = 0; }
  std::uint32_t RunningLevel() const { return level_; }

 private:
  std::uint32_t level_ = 0;
  int lastTime_ = 0;
};

}  // namespace tarvok
