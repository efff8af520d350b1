// One application with widgets for the window tests, on the offscreen platform unless the caller
// chose another.
#pragma once

#include <QApplication>

namespace tarvok {

inline void EnsureGuiApplication() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tarvok_gui_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: tearing widgets down in the exit handlers crashes in Qt's input devices.
  static QApplication* app = new QApplication(argc, argv);
  Q_UNUSED(app);
}

}  // namespace tarvok
