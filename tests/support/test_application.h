// An application object for tests whose code queues calls on the main thread: queued calls are
// delivered only while one exists, when the test processes events.
#pragma once

#include <QCoreApplication>

namespace tarvok {

class TestApplication {
 public:
  TestApplication() : app_(argc_, argv_) {}
  static void ProcessEvents() { QCoreApplication::processEvents(); }

 private:
  inline static int argc_ = 1;
  inline static char name_[] = "tarvok-test";
  inline static char* argv_[] = {name_, nullptr};
  QCoreApplication app_;
};

}  // namespace tarvok
