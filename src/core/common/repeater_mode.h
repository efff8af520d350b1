// The station's operating modes: stored as DefaultMode, held by schedule events and reported to
// remote control by number.
#pragma once

#include <QString>
#include <cstdint>

namespace tarvok {

enum TRepeaterMode : std::uint8_t {
  rmNone = 0,  // no mode: the scheduler is waiting for an event
  rmInternetRepeater = 1,
  rmSimplexRepeater = 2,
  rmBeaconStation = 3,
};

inline constexpr int kModeCount = 4;

// 1 to 3: a mode the station can run in (not rmNone, not a stray stored number).
inline constexpr bool IsOperatingMode(int mode) {
  return mode >= rmInternetRepeater && mode <= rmBeaconStation;
}

// The mode's name as the station shows it; empty for rmNone and for numbers that are no mode.
inline QString RepeaterModeText(int mode) {
  switch (mode) {
    case rmInternetRepeater:
      return QStringLiteral("Internet Repeater");
    case rmSimplexRepeater:
      return QStringLiteral("Simplex Repeater");
    case rmBeaconStation:
      return QStringLiteral("Beacon Station");
    default:
      return QString();
  }
}

}  // namespace tarvok
