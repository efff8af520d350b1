#include "app/window_application.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace tarvok {

namespace {

constexpr const char* kNoDisplay =
    "tarvok: no display to show the window on (%s); run \"tarvok --headless\" to run the station "
    "without a window\n";

// Qt ends the program when it cannot reach the display: say why and leave without a core dump.
void ExitOnFatal(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return;
  }
  std::fprintf(stderr, kNoDisplay, message.toLocal8Bit().constData());
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace

std::unique_ptr<QCoreApplication> CreateWindowApplication(int& argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::fprintf(stderr, kNoDisplay, "neither DISPLAY nor WAYLAND_DISPLAY is set");
    return nullptr;
  }
  const QtMessageHandler previous = qInstallMessageHandler(ExitOnFatal);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  return app;
}

}  // namespace tarvok
