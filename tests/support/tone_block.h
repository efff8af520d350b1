// Test blocks built from sines, for the transform, detector and equalizer tests.
#pragma once

#include <QtEndian>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "core/dtmf/dtmf_detector.h"
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

using TBytes = std::vector<std::byte>;
inline constexpr std::size_t kBlockBytes = 2 * TFourier::kSize;

// Tones on whole bins leak into no other bin, so a key lights exactly its two tone bands.
inline double ToneBin(int frequency) {
  return std::round(frequency * double{TDtmfDetector::kBlockSize} / TDtmfDetector::kSampleRate);
}

// A block as the sound card delivers it: 16-bit little-endian samples, cut or padded to size.
inline TBytes ToBytes(const TFourier::TBlock& block, std::size_t size = kBlockBytes) {
  TBytes bytes(size);
  for (std::size_t n = 0; n < block.size() && 2 * n + 1 < size; ++n)
    qToLittleEndian(static_cast<qint16>(block[n]), bytes.data() + 2 * n);
  return bytes;
}

inline TBytes KeyBlock(char key, double amplitude = 1000, std::size_t size = kBlockBytes) {
  const int index = static_cast<int>(std::strchr(TDtmfDetector::kKeys, key) - TDtmfDetector::kKeys);
  return ToBytes(ToneBlock({{ToneBin(TDtmfDetector::kTones[1][index / 4]), amplitude},
                            {ToneBin(TDtmfDetector::kTones[0][index % 4]), amplitude}}),
                 size);
}

inline TBytes Silence() { return TBytes(kBlockBytes); }

}  // namespace tarvok
