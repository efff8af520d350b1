#include "app/desktop_station.h"

#include <QApplication>

#include "app/console_messages.h"
#include "core/common/clock.h"
#include "gui/error_boxes.h"
#include "gui/main_window.h"
#include "platform/instance_guard.h"
#include "platform/operator_log.h"
#include "platform/signal_watcher.h"
#include "platform/station_assembly.h"
#include "web/web_console.h"

namespace tarvok {

namespace {

// What the user must know goes to standard error, where a start from a terminal or a service
// manager keeps it, and into the window's message box.
class TWindowMessages final : public TUserMessages {
 public:
  void ShowError(const QString& message) override {
    console_.ShowError(message);
    if (boxes_)
      boxes_->ShowError(message);
  }
  void ShowInBoxes(TErrorBoxes* boxes) { boxes_ = boxes; }

 private:
  TConsoleMessages console_;
  TErrorBoxes* boxes_ = nullptr;
};

}  // namespace

int RunDesktopStation(const QString& home, const QString& soundSystem) {
  // The desktop matches the window to the menu entry "Internet Repeater".
  QGuiApplication::setDesktopFileName(QStringLiteral("tarvok"));
  TWindowMessages messages;
  TSystemClock clock;
  TOperatorLog log(clock);
  {
    TStationAssembly assembly({home, soundSystem, TStationRole::Window}, clock, messages);
    if (assembly.Failure() != 0)
      return assembly.Failure();
    TStationRuntime& station = assembly.Station();
    TMainWindow window(station);
    TErrorBoxes boxes(&window);
    messages.ShowInBoxes(&boxes);
    TSignalWatcher stopSignals;
    QObject::connect(&stopSignals, &TSignalWatcher::StopRequested, &window, [&window] {
      window.close();
      // Leaves a modal dialog's loop too.
      QCoreApplication::quit();
    });
    QObject::connect(&assembly.InstanceGuard(), &TInstanceGuard::RaiseRequested, &window,
                     &TMainWindow::Raise);
    log.Follow(assembly, false);
    station.Start();
    std::unique_ptr<TWebConsole> web = StartWebConsole(station, log);
    window.show();
    QApplication::exec();
    log.Line(QStringLiteral("Stopping"));
    web.reset();
    station.Close();
    messages.ShowInBoxes(nullptr);
  }
  log.Line(QStringLiteral("Tarvok stopped"));
  return 0;
}

}  // namespace tarvok
