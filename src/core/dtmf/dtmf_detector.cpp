#include "core/dtmf/dtmf_detector.h"

#include <cmath>

namespace tarvok {

namespace {

// The bands are scaled with 2070, not the transform size 2048: each band sits about 1 % above its
// tone's bin. This is the detector's established tolerance and is kept as it is.
constexpr std::int64_t kBandScale = 2070;
constexpr double kTolerance = 0.0224;

}  // namespace

TDtmfDetector::TDtmfDetector() {
  for (int group = 0; group < kGroups; ++group) {
    for (int tone = 0; tone < kTonesPerGroup; ++tone) {
      const std::int64_t f = kTones[group][tone];
      const auto t = static_cast<std::int64_t>(std::trunc(static_cast<double>(f) * kTolerance));
      lowBins_[group][tone] = static_cast<int>((f - t) * kBandScale / kSampleRate);
      highBins_[group][tone] = static_cast<int>((f + t) * kBandScale / kSampleRate);
    }
  }
}

void TDtmfDetector::Process() {
  fourier_.Transform(&samples_, &levels_);
  DetectTones();
}

void TDtmfDetector::DetectTones() {
  if (busy_.test_and_set(std::memory_order_acquire))
    return;
  const int level = Level();
  for (int group = 0; group < kGroups; ++group) {
    for (int tone = 0; tone < kTonesPerGroup; ++tone) {
      bool present = false;
      for (int k = lowBins_[group][tone]; k <= highBins_[group][tone] && !present; ++k)
        present = levels_[k] > level;
      toneFlags_[group][tone] = present;
    }
  }
  busy_.clear(std::memory_order_release);
}

// The 1-based index of the one tone present in the group, or 0 when none or more than one is.
int TDtmfDetector::GroupIndex(int group) const {
  int count = 0;
  int index = 0;
  for (int tone = 0; tone < kTonesPerGroup && count < 2; ++tone) {
    if (toneFlags_[group][tone]) {
      ++count;
      index = tone + 1;
    }
  }
  return count == 1 ? index : 0;
}

char TDtmfDetector::Decode() {
  const int column = GroupIndex(0);
  const int row = GroupIndex(1);
  const char key = column != 0 && row != 0 ? kKeys[(row - 1) * 4 + (column - 1)] : kNoKey;
  if (key == lastKey_)
    return kNoKey;
  lastKey_ = key;
  return key;
}

void TDtmfDetector::Clear() {
  samples_.fill(0);
  levels_.fill(0);
  filtered_.fill(0);
}

}  // namespace tarvok
