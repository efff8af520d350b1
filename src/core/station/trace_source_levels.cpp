#include "core/station/trace_source_levels.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/common/level_conversion.h"
#include "core/common/rounding.h"

namespace tarvok {

namespace {

// Nearest integer, ties to even, held within the range of int.
int Rnd(double value) {
  constexpr double kLimit = std::numeric_limits<int>::max();
  return static_cast<int>(RoundHalfEven(std::clamp(value, -kLimit, kLimit)));
}

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

}  // namespace

void TTraceLevels::SetNoiseLevel(int db) {
  noiseLevel_ = db;
  noiseRaw_ = std::max(0, DecibelsToLevel(db));
  UpdateRanges();
}

void TTraceLevels::SetThresholdLevel(int db) {
  thresholdLevel_ = db;
  thresholdRaw_ = std::max(0, DecibelsToLevel(db));
}

void TTraceLevels::SetPeakMax(std::uint32_t maximum) {
  peakMax_ = ClampToInt(maximum);
  UpdateRanges();
}

void TTraceLevels::UpdateRanges() {
  rawRange_ = peakMax_ - noiseRaw_;
  if (rawRange_ < 0)
    rawRange_ = peakMax_;
  const double maximumDb = LevelToDecibels(peakMax_);
  dbRange_ = maximumDb - noiseLevel_;
  if (dbRange_ < 0)
    dbRange_ = maximumDb;
}

int TTraceLevels::LogPosition(double db, int height) const {
  if (dbRange_ <= 0)
    return height + 2;
  return height - Rnd((height - 1) * db / dbRange_) - 1;
}

int TTraceLevels::LinearPosition(std::int64_t raw, int height) const {
  if (rawRange_ < 1)
    return height + 1;
  return ClampToInt(height - (height - 1) * raw / rawRange_ - 1);
}

int TTraceLevels::LevelPosition(int level, bool linearScale, int height) const {
  if (linearScale)
    return LinearPosition(std::max<std::int64_t>(0, std::int64_t{level} - noiseRaw_), height);
  return LogPosition(std::max(0.0, LevelToDecibels(level) - noiseLevel_), height);
}

QString MeterBoundsText(std::uint32_t maximum) {
  return QStringLiteral("0-%1 dB").arg(Rnd(LevelToDecibels(ClampToInt(maximum))));
}

int FaderFromMixer(std::uint32_t volume) {
  return static_cast<int>(std::min<std::int64_t>(
      std::int64_t{volume} * kFaderMaximum / kMixerVolumeMaximum, kFaderMaximum));
}

std::uint32_t MixerFromFader(int position) {
  return static_cast<std::uint32_t>(std::int64_t{std::max(0, position)} * kMixerVolumeMaximum /
                                    kFaderMaximum);
}

}  // namespace tarvok
