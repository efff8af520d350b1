// A forked copy of the test that does some work and is then killed with SIGKILL, as a crash or a
// power cut ends the station: what it leaves behind is what the test checks.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace tarvok {

class TKilledChild {
 public:
  // Runs `work` in the child and returns once it has finished; Ready() is false when the child
  // could not be made or ended before (work may end the child with _exit for a failure).
  explicit TKilledChild(const std::function<void()>& work) {
    int ready[2];
    if (::pipe(ready) != 0)
      return;
    pid_ = ::fork();
    if (pid_ == 0) {
      work();
      [[maybe_unused]] const ssize_t n = ::write(ready[1], "r", 1);
      for (;;)
        ::pause();
    }
    ::close(ready[1]);
    char byte = 0;
    ready_ = pid_ > 0 && ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
  }
  ~TKilledChild() { Kill(); }
  TKilledChild(const TKilledChild&) = delete;
  TKilledChild& operator=(const TKilledChild&) = delete;

  bool Ready() const { return ready_; }
  void Kill() {
    if (pid_ <= 0)
      return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  bool ready_ = false;
};

}  // namespace tarvok
