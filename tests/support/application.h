// One application object for the tests that need queued calls to run.
#pragma once

#include <QCoreApplication>

namespace tarvok {

inline void EnsureApplication() {
  static int argc = 1;
  static char name[] = "tarvok_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

// Runs the calls queued for the main thread so far.
inline void RunQueuedCalls() { QCoreApplication::processEvents(); }

}  // namespace tarvok
