// The PulseAudio main loop's lock, held by the main thread for each call into the back end and by
// libpulse around each callback. libpulse takes it in code that ThreadSanitizer does not see, so
// these guards also announce the hand-over to the sanitizer when it is built in.
#pragma once

#include <pulse/thread-mainloop.h>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace tarvok {

#if defined(__SANITIZE_THREAD__)
// One token for every main loop: a callback can announce itself before it touches any memory.
inline char pulseLockToken;
inline void AnnounceLocked() { __tsan_acquire(&pulseLockToken); }
inline void AnnounceUnlocking() { __tsan_release(&pulseLockToken); }
#else
inline void AnnounceLocked() {}
inline void AnnounceUnlocking() {}
#endif

// Marks a callback that libpulse runs with the lock held.
class TPulseCallbackScope {
 public:
  TPulseCallbackScope() { AnnounceLocked(); }
  ~TPulseCallbackScope() { AnnounceUnlocking(); }
  TPulseCallbackScope(const TPulseCallbackScope&) = delete;
  TPulseCallbackScope& operator=(const TPulseCallbackScope&) = delete;
};

// Takes the lock on the calling thread for the guard's lifetime.
class TPulseLock {
 public:
  explicit TPulseLock(pa_threaded_mainloop* loop) : loop_(loop) {
    pa_threaded_mainloop_lock(loop_);
    AnnounceLocked();
  }
  ~TPulseLock() {
    AnnounceUnlocking();
    pa_threaded_mainloop_unlock(loop_);
  }
  TPulseLock(const TPulseLock&) = delete;
  TPulseLock& operator=(const TPulseLock&) = delete;

 private:
  pa_threaded_mainloop* loop_;
};

}  // namespace tarvok
