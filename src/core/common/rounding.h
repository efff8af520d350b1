// Rounding to the nearest integer with halves to even, the one rule of the station's arithmetic
// (levels, settings, filters, transforms, tone tables), so that all of it rounds alike.
#pragma once

#include <cmath>
#include <concepts>

namespace tarvok {

// The nearest integer, in the value's own type; a half goes to the even neighbour. std::nearbyint
// rounds so in the default rounding mode, which the program never changes.
template <std::floating_point T>
T RoundHalfEven(T value) {
  return std::nearbyint(value);
}

}  // namespace tarvok
