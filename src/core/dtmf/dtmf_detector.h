// Finds DTMF key presses in blocks of 2048 samples at 8000 samples per second. Each block is
// transformed; a tone counts as present when any bin of a small band around its frequency stands
// strictly above the detection level, and a key is read when exactly one tone of each group is
// present. A key is reported once, in the first block that holds it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "core/dtmf/fourier.h"

namespace tarvok {

class TDtmfDetector {
 public:
  static constexpr int kBlockSize = TFourier::kSize;
  static constexpr int kSampleRate = 8000;
  static constexpr int kGroups = 2;
  static constexpr int kTonesPerGroup = 4;
  // Group 0 holds the high (column) tones, group 1 the low (row) tones.
  static constexpr std::array<std::array<int, kTonesPerGroup>, kGroups> kTones{
      {{1209, 1336, 1477, 1633}, {697, 770, 852, 941}}};
  static constexpr char kKeys[] = "123A456B789C*0#D";  // [(row - 1) * 4 + (column - 1)]
  static constexpr char kNoKey = '\0';
  // The spectrum display shows bins 0 .. 1023, levels 0 .. 100, up to 4003 Hz.
  static constexpr int kDisplayBins = 1024;
  static constexpr int kDisplayScale = 100;
  static constexpr int kDisplayMaxFreq = (kDisplayBins + 1) * kSampleRate / kBlockSize;

  using TBlock = TFourier::TBlock;

  TDtmfDetector();

  TBlock& Samples() { return samples_; }
  const TBlock& Levels() const { return levels_; }
  const TBlock& Filtered() const { return filtered_; }

  // The detection threshold in level units; may be changed from another thread at any time.
  int Level() const { return level_.load(std::memory_order_relaxed); }
  void SetLevel(int level) { level_.store(level, std::memory_order_relaxed); }

  char LastKey() const { return lastKey_; }
  bool ToneFlag(int group, int tone) const { return toneFlags_[group][tone]; }
  int LowBin(int group, int tone) const { return lowBins_[group][tone]; }
  int HighBin(int group, int tone) const { return highBins_[group][tone]; }

  // Transforms Samples into Levels, then DetectTones.
  void Process();
  // Sets each tone's flag from Levels. A call made while another runs returns at once.
  void DetectTones();
  // The key newly seen in the last block: a key not seen in the block before, or kNoKey.
  char Decode();
  // Zeroes Samples, Levels and Filtered.
  void Clear();

 protected:
  TFourier& Fourier() { return fourier_; }
  TBlock& FilteredBlock() { return filtered_; }

 private:
  int GroupIndex(int group) const;

  TFourier fourier_;
  TBlock samples_{};
  TBlock levels_{};
  TBlock filtered_{};
  char lastKey_ = kNoKey;
  std::atomic<int> level_ = 0;
  std::atomic_flag busy_;
  std::array<std::array<bool, kTonesPerGroup>, kGroups> toneFlags_{};
  std::array<std::array<int, kTonesPerGroup>, kGroups> lowBins_{};
  std::array<std::array<int, kTonesPerGroup>, kGroups> highBins_{};
};

}  // namespace tarvok
