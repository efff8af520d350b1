// A sine tone generator for CW: 16-bit mono samples at 44100 per second, produced element by
// element from a one-cycle table with integer phase arithmetic, so no trigonometry per sample.
#pragma once

#include <array>
#include <cstdint>

namespace tarvok {

class TSineBuffer {
 public:
  static constexpr int kTableSize = 32768;
  static constexpr std::int32_t kPhaseModulus = 1073741823;  // 2^30 - 1
  static constexpr int kSampleRate = 44100;

  TSineBuffer();

  void SetFrequency(long double hz);
  void SetElementLength(int ms);
  void SetVolume(int volume);

  // Fill at most `bytes` bytes with the rest of an element of which `position` bytes were
  // produced already; return the bytes produced. Tone continues the phase across calls.
  int Tone(std::int16_t* buffer, int bytes, int position);
  int Silence(std::int16_t* buffer, int bytes, int position);

  int ElementBytes() const { return elementBytes_; }
  int Volume() const { return volume_; }

 private:
  void BuildTable();

  std::int32_t phase_ = 0;
  std::array<std::int16_t, kTableSize> table_{};
  bool tableValid_ = false;
  int volume_ = 32767;
  std::int32_t phaseIncrement_ = 0;
  long double frequency_ = 1000.0L;
  int elementMs_ = 100;
  int elementBytes_ = 0;
};

}  // namespace tarvok
