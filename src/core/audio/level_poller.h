// The level poller: a thread that every Interval milliseconds reads each active mixer control
// object of the sound card, smooths its level, and keeps a signal-present flag for the upper and
// the lower trace with switch-on and switch-off delays counted in polls. It publishes only single
// atomic values; a poll neither allocates nor takes a lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <semaphore>
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
  // Wakes the loop for an early poll.
  void Wake() { wakeEvent_.release(); }

  // One poll: smooth the levels of the active objects, then update both flags.
  void Poll();
  // Both flags off, each counter back to its reload value.
  void Reset();

  bool Enabled() const { return enabled_.load(std::memory_order_relaxed); }
  void SetEnabled(bool on) { enabled_.store(on, std::memory_order_relaxed); }

  // Mixer control object of each trace, -1 for none.
  int UpperIndex() const { return upperIndex_.load(std::memory_order_relaxed); }
  void SetUpperIndex(int index) { upperIndex_.store(index, std::memory_order_relaxed); }
  int LowerIndex() const { return lowerIndex_.load(std::memory_order_relaxed); }
  void SetLowerIndex(int index) { lowerIndex_.store(index, std::memory_order_relaxed); }

  TTraceFlag& Upper() { return upper_; }
  TTraceFlag& Lower() { return lower_; }
  bool UpperPresent() const { return upper_.Present(); }
  bool LowerPresent() const { return lower_.Present(); }
  void SetUpperThreshold(std::int64_t raw) { upper_.SetThreshold(raw); }
  void SetLowerThreshold(std::int64_t raw) { lower_.SetThreshold(raw); }
  void SetUpperOnDelay(std::int32_t ms) { upper_.SetOnDelay(ms); }
  void SetUpperOffDelay(std::int32_t ms) { upper_.SetOffDelay(ms); }
  void SetLowerOnDelay(std::int32_t ms) { lower_.SetOnDelay(ms); }
  void SetLowerOffDelay(std::int32_t ms) { lower_.SetOffDelay(ms); }

 private:
  void Execute();
  void UpdateFlag(TTraceFlag& flag, int objectIndex);

  TSoundCard& soundCard_;
  TTraceFlag upper_{kInterval};
  TTraceFlag lower_{kInterval};
  std::atomic<int> upperIndex_{-1};
  std::atomic<int> lowerIndex_{-1};
  std::atomic<bool> enabled_{true};
  std::atomic<bool> terminated_{false};
  std::binary_semaphore wakeEvent_{0};
  std::thread thread_;
};

}  // namespace tarvok
