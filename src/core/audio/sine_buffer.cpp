#include "core/audio/sine_buffer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/common/rounding.h"

namespace tarvok {

TSineBuffer::TSineBuffer() { SetElementLength(100); }

void TSineBuffer::SetFrequency(long double hz) {
  frequency_ = hz;
  SetElementLength(elementMs_);
}

void TSineBuffer::SetElementLength(int ms) {
  elementMs_ = ms;
  elementBytes_ = static_cast<int>(static_cast<std::int64_t>(kSampleRate) * ms * 2 / 1000);
  if (elementBytes_ % 2 != 0)
    elementBytes_ = (elementBytes_ / 2 + 1) * 2;
  elementBytes_ = std::max(elementBytes_, 0);
  tableValid_ = false;
  phaseIncrement_ =
      static_cast<std::int32_t>(RoundHalfEven(frequency_ * (1LL << 30) / kSampleRate));
}

void TSineBuffer::SetVolume(int volume) {
  volume_ = volume;
  tableValid_ = false;
}

void TSineBuffer::BuildTable() {
  const auto volume = static_cast<std::int16_t>(std::clamp(volume_, 0, 32767));
  table_[0] = 0;
  table_[8192] = volume;
  table_[16384] = 0;
  table_[24576] = static_cast<std::int16_t>(-volume);
  for (int i = 1; i < 8192; ++i) {
    const auto s = static_cast<std::int16_t>(
        RoundHalfEven(std::sin(i * 2 * std::numbers::pi / kTableSize) * volume));
    table_[i] = s;
    table_[16384 - i] = s;
    table_[16384 + i] = static_cast<std::int16_t>(-s);
    table_[32768 - i] = static_cast<std::int16_t>(-s);
  }
  tableValid_ = true;
}

int TSineBuffer::Tone(std::int16_t* buffer, int bytes, int position) {
  if (!tableValid_)
    BuildTable();
  const int n = std::max(0, std::min(bytes, elementBytes_ - position));
  for (int i = 0; i < n / 2; ++i) {
    if (phase_ < 0)
      phase_ = 0;
    buffer[i] = table_[static_cast<std::size_t>(phase_ >> 15)];
    phase_ = static_cast<std::int32_t>((static_cast<std::int64_t>(phase_) + phaseIncrement_) %
                                       kPhaseModulus);
  }
  return n;
}

int TSineBuffer::Silence(std::int16_t* buffer, int bytes, int position) {
  const int n = std::max(0, std::min(bytes, elementBytes_ - position));
  std::fill_n(buffer, n / 2, std::int16_t{0});
  return n;
}

}  // namespace tarvok
