#include "app/headless_station.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "app/console_messages.h"
#include "core/common/clock.h"
#include "core/config/config.h"
#include "platform/serial_keying_port.h"
#include "platform/signal_watcher.h"

namespace tarvok {

namespace {

void Print(const QString& line) {
  std::printf("%s\n", line.toLocal8Bit().constData());
  std::fflush(stdout);
}

}  // namespace

int RunHeadlessStation(const QString& home) {
  const TStationFolder folder(home);
  TConsoleMessages messages;
  if (!QDir().mkpath(folder.Path())) {
    messages.ShowError(QStringLiteral("Cannot create the station folder %1").arg(folder.Path()));
    return 1;
  }
  TSystemClock clock;
  TSerialKeyingPort keyingPort;
  TSignalWatcher stopSignals;
  QObject::connect(&stopSignals, &TSignalWatcher::StopRequested, qApp, &QCoreApplication::quit);
  {
    TConfig config(folder, clock, keyingPort, messages);
    Print(QStringLiteral("Tarvok %1 started with settings file %2")
              .arg(config.VersionText(), config.IniFile().FileName()));
    // The transmitter starts unkeyed; a port that cannot be opened is reported now.
    config.SetPTT(false);
    QCoreApplication::exec();
  }
  Print(QStringLiteral("Tarvok stopped"));
  return 0;
}

}  // namespace tarvok
