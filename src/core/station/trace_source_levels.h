// The level arithmetic of one trace: the noise level and VOX threshold in decibels with their raw
// equivalents, the ranges that the meter's maximum leaves above the noise, and the mapping of a
// level to a vertical position on the trace's panels. Also the conversion between the volume
// fader and the mixer's volume value.
#pragma once

#include <QString>
#include <cstdint>

namespace tarvok {

class TTraceLevels {
 public:
  int NoiseLevel() const { return noiseLevel_; }
  int NoiseRaw() const { return noiseRaw_; }
  int ThresholdLevel() const { return thresholdLevel_; }
  int ThresholdRaw() const { return thresholdRaw_; }
  int PeakMax() const { return peakMax_; }
  // Meter range above the noise, in raw units and in decibels; the whole range when the noise
  // lies above the maximum, 0 when there is no meter.
  int RawRange() const { return rawRange_; }
  double DbRange() const { return dbRange_; }

  void SetNoiseLevel(int db);
  void SetThresholdLevel(int db);
  // The maximum of the bound peak meter, 0 when none is bound.
  void SetPeakMax(std::uint32_t maximum);

  // Position of a value in dB on a panel of the given height; below the panel without a range.
  int LogPosition(double db, int height) const;
  // Position of a raw value; below the panel without a range.
  int LinearPosition(std::int64_t raw, int height) const;
  // Where a smoothed level is drawn, relative to the noise level and clipped at it: on the linear
  // scale (TrayScale 1) by raw value, otherwise by decibels.
  int LevelPosition(int level, bool linearScale, int height) const;

 private:
  void UpdateRanges();

  int noiseLevel_ = 0;
  int noiseRaw_ = 0;
  int thresholdLevel_ = 0;
  int thresholdRaw_ = 0;
  int peakMax_ = 0;
  int rawRange_ = 0;
  double dbRange_ = 0.0;
};

// The "0-90 dB" text of a meter with this maximum.
QString MeterBoundsText(std::uint32_t maximum);

// The volume fader runs from 0 to kFaderMaximum, the mixer's volume from 0 to kMixerVolumeMaximum.
inline constexpr int kFaderMaximum = 32768;
inline constexpr std::uint32_t kMixerVolumeMaximum = 65535;
int FaderFromMixer(std::uint32_t volume);
std::uint32_t MixerFromFader(int position);

}  // namespace tarvok
