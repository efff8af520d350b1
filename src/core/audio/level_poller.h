// The level poller: a thread that every Interval milliseconds reads each active mixer control
// object of the sound card, smooths its level, and keeps a signal-present flag for two slots, the
// VOX slot and the other slot (a trace is bound to either), with switch-on and switch-off delays
// counted in polls. It publishes only single atomic values; a poll neither allocates nor takes a
// lock.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
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

  void Start();
  // Ends the loop at its next wake and waits for it.
  void Terminate();
  // One poll: smooth the levels of the active objects, then update both flags.
  void Poll();
  // Both flags off, each counter back to its reload value.
  void Reset();

  bool Enabled() const { return enabled_.load(std::memory_order_relaxed); }
  void SetEnabled(bool on) { enabled_.store(on, std::memory_order_relaxed); }

  // Mixer control object bound to each slot, -1 for none.
  int VoxIndex() const { return voxIndex_.load(std::memory_order_relaxed); }
  void SetVoxIndex(int index) { voxIndex_.store(index, std::memory_order_relaxed); }
  int OtherIndex() const { return otherIndex_.load(std::memory_order_relaxed); }
  void SetOtherIndex(int index) { otherIndex_.store(index, std::memory_order_relaxed); }

  TTraceFlag& Vox() { return vox_; }
  TTraceFlag& Other() { return other_; }
  bool VoxPresent() const { return vox_.Present(); }
  bool OtherPresent() const { return other_.Present(); }
  void SetVoxThreshold(std::int64_t raw) { vox_.SetThreshold(raw); }
  void SetOtherThreshold(std::int64_t raw) { other_.SetThreshold(raw); }
  void SetVoxOnDelay(std::int32_t ms) { vox_.SetOnDelay(ms); }
  void SetVoxOffDelay(std::int32_t ms) { vox_.SetOffDelay(ms); }
  void SetOtherOnDelay(std::int32_t ms) { other_.SetOnDelay(ms); }
  void SetOtherOffDelay(std::int32_t ms) { other_.SetOffDelay(ms); }

 private:
  void Execute();
  void UpdateFlag(TTraceFlag& flag, int objectIndex);

  TSoundCard& soundCard_;
  TTraceFlag vox_{kInterval};
  TTraceFlag other_{kInterval};
  std::atomic<int> voxIndex_{-1};
  std::atomic<int> otherIndex_{-1};
  std::atomic<bool> enabled_{true};
  // Guards terminated_; the loop holds it except while it sleeps.
  std::mutex waitLock_;
  std::condition_variable wake_;
  bool terminated_ = false;
  std::thread thread_;
};

}  // namespace tarvok
