#include "app/headless_station.h"

#include <QCoreApplication>

#include "app/console_messages.h"
#include "app/operator_log.h"
#include "core/common/clock.h"
#include "core/config/config.h"
#include "platform/instance_guard.h"
#include "platform/signal_watcher.h"
#include "platform/station_assembly.h"

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
    QObject::connect(&assembly.InstanceGuard(), &TInstanceGuard::RaiseRequested, &log, [&log] {
      log.Line(QStringLiteral("Another copy of the station was started on this folder and ended"));
    });
    TConfig& settings = station.Settings();
    log.Line(QStringLiteral("Tarvok %1 started with settings file %2")
                 .arg(settings.VersionText(), settings.IniFile().FileName()));
    log.Attach(station);
    log.Line(QStringLiteral("Sound card: %1, %2")
                 .arg(station.SoundCard().DeviceName(0), assembly.SoundDescription()));
    station.Start();
    QCoreApplication::exec();
    log.Line(QStringLiteral("Stopping"));
    station.Close();
  }
  log.Line(QStringLiteral("Tarvok stopped"));
  return 0;
}

}  // namespace tarvok
