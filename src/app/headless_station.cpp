#include "app/headless_station.h"

#include <QCoreApplication>

#include "app/console_messages.h"
#include "core/common/clock.h"
#include "platform/operator_log.h"
#include "platform/signal_watcher.h"
#include "platform/station_assembly.h"
#include "web/web_console.h"

namespace tarvok {

int RunHeadlessStation(const QString& home, const QString& soundSystem) {
  TConsoleMessages messages;
  TSystemClock clock;
  TOperatorLog log(clock);
  {
    TStationAssembly assembly({home, soundSystem, TStationRole::Service}, clock, messages);
    if (assembly.Failure() != 0)
      return assembly.Failure();
    TStationRuntime& station = assembly.Station();
    TSignalWatcher stopSignals;
    QObject::connect(&stopSignals, &TSignalWatcher::StopRequested, qApp, &QCoreApplication::quit);
    log.Follow(assembly, true);
    station.Start();
    std::unique_ptr<TWebConsole> web = StartWebConsole(station, log);
    QCoreApplication::exec();
    log.Line(QStringLiteral("Stopping"));
    web.reset();
    station.Close();
  }
  log.Line(QStringLiteral("Tarvok stopped"));
  return 0;
}

}  // namespace tarvok
