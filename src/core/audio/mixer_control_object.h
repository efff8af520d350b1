// A mixer control bound for reading or writing (a trace's peak meter or volume), and the list of
// them that the sound card owns. The level poller reads the values that it smooths from its own
// thread, so every field it touches is a single atomic value; the line and control records are
// used on the main thread only.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "core/audio/sound_backend.h"

namespace tarvok {

class TMixerControlObject {
 public:
  const TMixerLine& Line() const { return line_; }
  const TMixerControl& Control() const { return control_; }

  // The raw value last read or to be written.
  std::uint32_t Value() const { return value_.load(kRelaxed); }
  void SetValue(std::uint32_t v) { value_.store(v, kRelaxed); }
  // The smoothed level, written by the level poller.
  std::int32_t Level() const { return level_.load(kRelaxed); }
  void SetLevel(std::int32_t v) { level_.store(v, kRelaxed); }
  // Fold readings of 32768 and above as 16-bit two's complement.
  bool Signed() const { return signed_.load(kRelaxed); }
  void SetSigned(bool v) { signed_.store(v, kRelaxed); }
  std::uint8_t AveragingMode() const { return averagingMode_.load(kRelaxed); }
  void SetAveragingMode(std::uint8_t v) { averagingMode_.store(v, kRelaxed); }
  // A recording to a file is running; chooses the rule of the Extended mode.
  bool Recording() const { return recording_.load(kRelaxed); }
  void SetRecording(bool v) { recording_.store(v, kRelaxed); }
  // The binding succeeded.
  bool Valid() const { return valid_.load(std::memory_order_acquire); }
  // The level poller reads this object.
  bool Active() const { return active_.load(std::memory_order_acquire); }

  // The bound control's current value, or 0 when nothing is bound.
  std::uint32_t ReadCell() const {
    const TControlCell* cell = cell_.load(std::memory_order_acquire);
    return cell != nullptr ? cell->Value.load(kRelaxed) : 0;
  }

 private:
  friend class TSoundCard;
  static constexpr auto kRelaxed = std::memory_order_relaxed;

  // Clears the binding, keeping the records; the poller ignores the object from now on.
  void Clear();
  void Bind(const TMixerLine& line, const TMixerControl& control, const TControlCell* cell,
            bool active);

  TMixerLine line_;
  TMixerControl control_;
  std::atomic<const TControlCell*> cell_{nullptr};
  std::atomic<std::uint32_t> value_{0};
  std::atomic<std::int32_t> level_{0};
  std::atomic<bool> signed_{false};
  std::atomic<bool> valid_{false};
  std::atomic<bool> active_{false};
  std::atomic<std::uint8_t> averagingMode_{0};
  std::atomic<bool> recording_{false};
};

// Owns the bound controls. Its storage is fixed when it is made, so the poller can walk the list
// while the main thread adds to it.
class TMixerControlObjectList {
 public:
  static constexpr int kCapacity = 32;

  int Count() const { return count_.load(std::memory_order_acquire); }
  TMixerControlObject& Items(int index) { return items_[static_cast<std::size_t>(index)]; }
  const TMixerControlObject& Items(int index) const {
    return items_[static_cast<std::size_t>(index)];
  }
  // Index of a new empty object, or -1 when the list is full.
  int Add();

 private:
  std::array<TMixerControlObject, kCapacity> items_;
  std::atomic<int> count_{0};
};

}  // namespace tarvok
