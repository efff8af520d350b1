// Tells a sleeping level poller that a meter has a new value. Back ends tell it from their own
// threads, at most once per meter reading, so the poller need not wake on a timer to look.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace tarvok {

class TLevelNews {
 public:
  using TClock = std::chrono::steady_clock;

  void Tell() {
    {
      const std::lock_guard lock(mutex_);
      told_ = true;
    }
    wake_.notify_one();
  }

  // Sleeps until told or until the deadline (none: until told); the news is taken.
  void Await(std::optional<TClock::time_point> deadline) {
    std::unique_lock lock(mutex_);
    const auto told = [this] { return told_; };
    if (deadline)
      wake_.wait_until(lock, *deadline, told);
    else
      wake_.wait(lock, told);
    told_ = false;
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool told_ = false;
};

}  // namespace tarvok
