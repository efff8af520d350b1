#include "app/desktop_station.h"

#include <QApplication>
#include <QStringList>
#include <utility>

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

// What the user must know is a timestamped line of the operator log and a box on the window, as
// soon as the window stands: a message that comes before it (a bad scenario file) waits for it.
// Without a window (the station could not be put together, or the window has closed) what waits
// goes to standard error, where a start from a terminal or a service manager keeps it.
class TWindowMessages final : public TUserMessages {
 public:
  explicit TWindowMessages(TOperatorLog& log) : log_(log) {}
  ~TWindowMessages() override {
    for (const QString& message : waiting_)
      console_.ShowError(message);
  }
  void ShowError(const QString& message) override {
    if (!boxes_) {
      waiting_.append(message);
      return;
    }
    log_.Line(QStringLiteral("Error: %1").arg(message));
    boxes_->ShowError(message);
  }
  void ShowInBoxes(TErrorBoxes* boxes) {
    boxes_ = boxes;
    for (const QString& message : std::exchange(waiting_, {}))
      ShowError(message);
  }

 private:
  TOperatorLog& log_;
  TConsoleMessages console_;
  TErrorBoxes* boxes_ = nullptr;
  QStringList waiting_;
};

}  // namespace

int RunDesktopStation(const QString& home, const QString& soundSystem) {
  // The desktop matches the window to the menu entry "Internet Repeater".
  QGuiApplication::setDesktopFileName(QStringLiteral("tarvok"));
  TSystemClock clock;
  TOperatorLog log(clock);
  TWindowMessages messages(log);
  {
    TStationAssembly assembly({home, soundSystem, TStationRole::Window}, clock, messages);
    if (assembly.Failure() != 0)
      return assembly.Failure();
    TStationRuntime& station = assembly.Station();
    TMainWindow window(station);
    TErrorBoxes boxes(&window);
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
    messages.ShowInBoxes(&boxes);
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
