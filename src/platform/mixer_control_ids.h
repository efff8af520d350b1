// How the sound back ends number a line's controls: after the line, so that a control's ID tells
// its line without a table.
#pragma once

#include <cstdint>
#include <vector>

#include "core/audio/sound_backend.h"

namespace tarvok {

inline constexpr std::uint32_t kMeterControl = 1;
inline constexpr std::uint32_t kVolumeControl = 2;

constexpr std::uint32_t ControlIdOf(std::uint32_t lineId, std::uint32_t kind) {
  return lineId * 16 + kind;
}
constexpr std::uint32_t LineIdOfControl(std::uint32_t controlId) { return controlId / 16; }
constexpr std::uint32_t KindOfControl(std::uint32_t controlId) { return controlId % 16; }

// The control among its line's controls; false when the line or the control is not there.
inline bool FindLineControl(const TSoundBackend& backend, std::uint32_t controlId,
                            TMixerControl& control) {
  std::vector<TMixerControl> controls;
  if (backend.Controls(LineIdOfControl(controlId), controls).Failed())
    return false;
  for (const TMixerControl& c : controls) {
    if (c.Id == controlId) {
      control = c;
      return true;
    }
  }
  return false;
}

}  // namespace tarvok
