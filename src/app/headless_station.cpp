#include "app/headless_station.h"

#include <QCoreApplication>
#include <QDir>

#include "app/console_messages.h"
#include "app/operator_log.h"
#include "app/sound_system.h"
#include "core/common/clock.h"
#include "core/config/config.h"
#include "core/station/station_runtime.h"
#include "platform/instance_guard.h"
#include "platform/keying_tap.h"
#include "platform/serial_keying_port.h"
#include "platform/signal_watcher.h"

namespace tarvok {

int RunHeadlessStation(const QString& home, const QString& soundSystem) {
  const TStationFolder folder(home);
  TConsoleMessages messages;
  if (!QDir().mkpath(folder.Path())) {
    messages.ShowError(QStringLiteral("Cannot create the station folder %1").arg(folder.Path()));
    return 1;
  }
  TInstanceGuard guard(folder.Path());
  switch (guard.Acquire()) {
    case TInstanceGuard::TResult::First:
      break;
    case TInstanceGuard::TResult::Running:
    case TInstanceGuard::TResult::Failed:
      messages.ShowError(guard.Message());
      return 3;
  }
  TSoundSystem sound = CreateSoundSystem(soundSystem, folder.Path());
  for (const QString& error : sound.Errors)
    messages.ShowError(error);
  if (!sound.Backend)
    return 2;
  TSystemClock clock;
  TOperatorLog log(clock);
  TSerialKeyingPort serialPort;
  TKeyingTap keyingPort(serialPort, [&log, &sound](bool keyed) {
    log.TransmitterKeyed(keyed);
    if (sound.TransmitterKeyed)
      sound.TransmitterKeyed(keyed);
  });
  TSignalWatcher stopSignals;
  QObject::connect(&stopSignals, &TSignalWatcher::StopRequested, qApp, &QCoreApplication::quit);
  QObject::connect(&guard, &TInstanceGuard::RaiseRequested, &log, [&log] {
    log.Line(QStringLiteral("Another copy of the station was started on this folder and ended"));
  });
  {
    TConfig config(folder, clock, keyingPort, messages);
    log.Line(QStringLiteral("Tarvok %1 started with settings file %2")
                 .arg(config.VersionText(), config.IniFile().FileName()));
    // The transmitter starts unkeyed; a port that cannot be opened is reported now.
    config.SetPTT(false);
    TStationRuntime runtime(config, clock, std::move(sound.Backend), messages, log);
    log.Attach(runtime);
    log.Line(QStringLiteral("Sound card: %1, %2")
                 .arg(runtime.SoundCard().DeviceName(0), sound.Description));
    // Nobody opens the Recorder menu of a headless station: with DTMF decoding on, the capture
    // that feeds the decoder runs whenever the station is in Internet Repeater mode.
    QObject::connect(&runtime.Station().Display(), &TStatusDisplay::CaptionChanged, &runtime,
                     [&runtime] {
                       if (runtime.Station().State().Mode == rmInternetRepeater &&
                           runtime.Dtmf().Enabled() && !runtime.Capturing())
                         runtime.StartCapture();
                     });
    runtime.Start();
    QCoreApplication::exec();
    log.Line(QStringLiteral("Stopping"));
    runtime.Close();
  }
  log.Line(QStringLiteral("Tarvok stopped"));
  return 0;
}

}  // namespace tarvok
