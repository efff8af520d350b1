// Test blocks built from sines, for the transform, detector and equalizer tests.
#pragma once

#include <cmath>
#include <numbers>

#include "core/dtmf/fourier.h"

namespace tarvok {

struct TTone {
  double Bin = 0;  // frequency in bins: 1 bin = 8000 / 2048 Hz
  double Amplitude = 0;
  double Phase = 0;
};

inline TFourier::TBlock ToneBlock(std::initializer_list<TTone> tones) {
  TFourier::TBlock block{};
  for (int n = 0; n < TFourier::kSize; ++n) {
    double value = 0;
    for (const TTone& tone : tones)
      value += tone.Amplitude *
               std::sin(2 * std::numbers::pi * tone.Bin * n / TFourier::kSize + tone.Phase);
    block[n] = static_cast<std::int32_t>(std::lround(value));
  }
  return block;
}

}  // namespace tarvok
