#include "core/dtmf/digital_filter.h"

#include <QString>
#include <algorithm>
#include <cmath>

#include "core/common/rounding.h"
#include "core/storage/ini_file.h"

namespace tarvok {

namespace {

const QString kSection = QStringLiteral("Filter");

QString EqualizerKey(int band) { return QStringLiteral("Equalizer%1").arg(band); }

// Rounds half to even and limits to 16 bits; a value that is not a number (from absurd gains)
// becomes silence.
std::int32_t ClipSample(long double value) {
  if (std::isnan(value))
    return 0;
  return static_cast<std::int32_t>(std::clamp(RoundHalfEven(value), -32768.0L, 32767.0L));
}

}  // namespace

TDigitalFilter::TDigitalFilter() {
  for (int band = 0; band < kBands; ++band)
    SetGainStep(band, 0);
}

void TDigitalFilter::SetGainStep(int band, int step) {
  gainSteps_[band].store(step, std::memory_order_relaxed);
  gains_[band].store(std::pow(kGainBase, step), std::memory_order_relaxed);
}

void TDigitalFilter::SetScaleStep(int step) {
  scaleStep_.store(step, std::memory_order_relaxed);
  fftScale_.store(std::pow(kScaleBase, step), std::memory_order_relaxed);
}

void TDigitalFilter::Load(const TIniFile& ini) {
  for (int band = 0; band < kBands; ++band)
    SetGainStep(band, ini.ReadInteger(kSection, EqualizerKey(band), GainStep(band)));
  SetScaleStep(ini.ReadInteger(kSection, QStringLiteral("FFTScale"), ScaleStep()));
}

bool TDigitalFilter::Save(TIniFile& ini) const {
  bool written = true;
  for (int band = 0; band < kBands; ++band)
    written = ini.WriteInteger(kSection, EqualizerKey(band), GainStep(band)) && written;
  return ini.WriteInteger(kSection, QStringLiteral("FFTScale"), ScaleStep()) && written;
}

void TDigitalFilter::Filter() {
  Process();
  TFourier& fourier = Fourier();
  fourier.PrepareInverse();
  // A bin and its mirror above 1024 are scaled alike, real and imaginary parts, so the spectrum
  // stays that of a real signal and a tone gets its band's gain whatever its phase.
  TFourier::TComplexBlock& input = fourier.Input();
  for (int band = 0, k = 0; band < kBands; ++band) {
    const long double gain = Gain(band);
    for (; k < kBandEnds[band]; ++k) {
      input[k].Re *= gain;
      input[k].Im *= gain;
      if (k > 0) {
        input[kBlockSize - k].Re *= gain;
        input[kBlockSize - k].Im *= gain;
      }
    }
  }
  fourier.Execute();
  const long double scale = FFTScale() / std::sqrt(static_cast<long double>(kBlockSize));
  const TFourier::TComplexBlock& output = fourier.Output();
  TBlock& filtered = FilteredBlock();
  for (int k = 0; k < kBlockSize; ++k)
    filtered[k] = ClipSample(output[k].Re * scale);
}

}  // namespace tarvok
