#include "core/dtmf/fourier.h"

#include <cmath>
#include <numbers>

#include "core/common/rounding.h"

namespace tarvok {

TFourier::TFourier() : buffers_(std::make_unique<TBuffers>()) {
  for (int k = 0; k < kSize; ++k) {
    const long double angle = -2 * std::numbers::pi_v<long double> * k / kSize;
    buffers_->CosTable[k] = std::cos(angle);
    buffers_->SinTable[k] = std::sin(angle);
  }
}

void TFourier::Execute() { Execute(kLevels, buffers_->Input.data(), 1, buffers_->Output.data()); }

// Transforms the 2^level elements source[0], source[stride], ... into destination[0 .. 2^level).
void TFourier::Execute(int level, const TComplex* source, int stride, TComplex* destination) const {
  if (level == 0) {
    destination[0] = source[0];
    return;
  }
  const int half = 1 << (level - 1);
  Execute(level - 1, source, 2 * stride, destination);
  Execute(level - 1, source + stride, 2 * stride, destination + half);
  const int tableStep = 1 << (kLevels - level);
  for (int k = 0; k < half; ++k) {
    const long double wRe = buffers_->CosTable[k * tableStep];
    const long double wIm = buffers_->SinTable[k * tableStep];
    TComplex& even = destination[k];
    TComplex& odd = destination[k + half];
    const TComplex t{wRe * odd.Re - wIm * odd.Im, wRe * odd.Im + wIm * odd.Re};
    odd = {even.Re - t.Re, even.Im - t.Im};
    even = {even.Re + t.Re, even.Im + t.Im};
  }
}

void TFourier::Transform(const TBlock* samples, TBlock* levels) {
  TComplexBlock& input = buffers_->Input;
  if (samples) {
    for (int n = 0; n < kSize; ++n)
      input[n] = {static_cast<long double>((*samples)[n]), 0};
  }
  Execute();
  if (!levels)
    return;
  for (int k = 0; k < kSize; ++k) {
    const TComplex& x = buffers_->Output[k];
    const long double power = (x.Re * x.Re + x.Im * x.Im) / kSize;
    (*levels)[k] = power >= 1 ? static_cast<std::int32_t>(RoundHalfEven(5 * std::log10(power))) : 0;
  }
}

void TFourier::PrepareInverse() {
  const long double scale = std::sqrt(static_cast<long double>(kSize));
  for (int k = 0; k < kSize; ++k) {
    const TComplex& x = buffers_->Output[k];
    buffers_->Input[k] = {x.Re / scale, -x.Im / scale};
  }
}

}  // namespace tarvok
