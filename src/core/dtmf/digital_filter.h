// A ten-band equalizer on the DTMF detector's 2048-sample blocks. It works in the frequency
// domain: the block is analysed for DTMF, each band of the spectrum below 4000 Hz is scaled by its
// gain, and the inverse transform, scaled and clipped to 16 bits, is the filtered block. Gains and
// the output scale are kept as integer steps in the section "Filter" of the settings file.
#pragma once

#include <array>
#include <atomic>

#include "core/dtmf/dtmf_detector.h"

namespace tarvok {

class TIniFile;

class TDigitalFilter : public TDtmfDetector {
 public:
  static constexpr int kBands = 10;
  static constexpr double kGainBase = 1.3;    // ratio of one gain step
  static constexpr double kScaleBase = 1.05;  // ratio of one output-scale step
  // The first bin after each band: 102 bins (about 398 Hz) each, 106 for the last.
  static constexpr std::array<int, kBands> kBandEnds{102, 204, 306, 408, 510,
                                                     612, 714, 816, 918, 1024};

  TDigitalFilter();

  // Gains and the scale may be changed from another thread while a block is filtered.
  double Gain(int band) const { return gains_[band].load(std::memory_order_relaxed); }
  int GainStep(int band) const { return gainSteps_[band].load(std::memory_order_relaxed); }
  void SetGainStep(int band, int step);
  double FFTScale() const { return fftScale_.load(std::memory_order_relaxed); }
  int ScaleStep() const { return scaleStep_.load(std::memory_order_relaxed); }
  void SetScaleStep(int step);

  // Reads the steps of section "Filter"; a missing or malformed key keeps the current step.
  void Load(const TIniFile& ini);
  // Writes the eleven steps; false when the file could not be written.
  bool Save(TIniFile& ini) const;

  // Analyses Samples for DTMF exactly as Process does, then writes the equalized block to
  // Filtered.
  void Filter();

 private:
  std::array<std::atomic<int>, kBands> gainSteps_{};
  std::array<std::atomic<double>, kBands> gains_{};
  std::atomic<int> scaleStep_ = 0;
  std::atomic<double> fftScale_ = 1.0;
};

}  // namespace tarvok
