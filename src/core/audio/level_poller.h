// The level poller: a thread that reads each active mixer control object of the sound card in steps
// of Interval milliseconds, smooths its level, and keeps a signal-present flag for two slots, the
// VOX slot and the other slot (a trace is bound to either), with switch-on and switch-off delays
// counted in steps. It sleeps while nothing moves: a meter's news wakes it, and while a level
// settles or a delay counts it wakes at each step, catching up the steps it slept through. It
// publishes only single atomic values; a step takes no lock and allocates nothing beyond what the
// owner's handlers of a flip do.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "core/audio/level_detector.h"

namespace tarvok {

class TSoundCard;

class TLevelPoller {
 public:
  static constexpr std::int32_t kInterval = 5;  // milliseconds

  // The thread starts with Start, after the owner has set indexes, thresholds and delays.
  explicit TLevelPoller(TSoundCard& soundCard);
  ~TLevelPoller();
  TLevelPoller(const TLevelPoller&) = delete;
  TLevelPoller& operator=(const TLevelPoller&) = delete;

  // Run on the thread that polls: whenever a flag flips, and when levels start moving after they
  // had settled. Set them before Start.
  void SetOnFlip(std::function<void()> onFlip) { onFlip_ = std::move(onFlip); }
  void SetOnMoving(std::function<void()> onMoving) { onMoving_ = std::move(onMoving); }
  // The last step found a level changing or a delay counting.
  bool Moving() const { return moving_.load(std::memory_order_relaxed); }
  void Start();
  // Ends the loop at its next wake and waits for it.
  void Terminate();
  // One step: smooth the levels of the active objects, then update both flags. True while
  // something still moves: a slot's level changed or one of its delays is counting.
  bool Poll();
  // Both flags off, each counter back to its reload value.
  void Reset();

  bool Enabled() const { return enabled_.load(std::memory_order_relaxed); }
  void SetEnabled(bool on) {
    enabled_.store(on, std::memory_order_relaxed);
    Wake();
  }

  // Mixer control object bound to each slot, -1 for none.
  int VoxIndex() const { return voxIndex_.load(std::memory_order_relaxed); }
  void SetVoxIndex(int index) {
    voxIndex_.store(index, std::memory_order_relaxed);
    Wake();
  }
  int OtherIndex() const { return otherIndex_.load(std::memory_order_relaxed); }
  void SetOtherIndex(int index) {
    otherIndex_.store(index, std::memory_order_relaxed);
    Wake();
  }

  TTraceFlag& Vox() { return vox_; }
  TTraceFlag& Other() { return other_; }
  bool VoxPresent() const { return vox_.Present(); }
  bool OtherPresent() const { return other_.Present(); }
  void SetVoxThreshold(std::int64_t raw) {
    vox_.SetThreshold(raw);
    Wake();
  }
  void SetOtherThreshold(std::int64_t raw) {
    other_.SetThreshold(raw);
    Wake();
  }
  void SetVoxOnDelay(std::int32_t ms) { vox_.SetOnDelay(ms); }
  void SetVoxOffDelay(std::int32_t ms) { vox_.SetOffDelay(ms); }
  void SetOtherOnDelay(std::int32_t ms) { other_.SetOnDelay(ms); }
  void SetOtherOffDelay(std::int32_t ms) { other_.SetOffDelay(ms); }

 private:
  void Execute();
  // A sleeping poller looks again: what it reads or how it judges has changed.
  void Wake();
  // Whether the slot still moves: its level changed in this step or its delay counts.
  bool UpdateFlag(TTraceFlag& flag, int objectIndex, bool& flipped);

  TSoundCard& soundCard_;
  TTraceFlag vox_{kInterval};
  TTraceFlag other_{kInterval};
  std::atomic<int> voxIndex_{-1};
  std::atomic<int> otherIndex_{-1};
  std::atomic<bool> enabled_{true};
  std::atomic<bool> terminated_{false};
  std::atomic<bool> moving_{false};
  std::function<void()> onFlip_;
  std::function<void()> onMoving_;
  std::thread thread_;
};

}  // namespace tarvok
