#include "app/headless_station.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "app/console_messages.h"
#include "app/sound_system.h"
#include "core/audio/sound_card.h"
#include "core/audio/sound_thread.h"
#include "core/common/clock.h"
#include "core/config/config.h"
#include "platform/keying_tap.h"
#include "platform/serial_keying_port.h"
#include "platform/signal_watcher.h"

namespace tarvok {

namespace {

void Print(const QString& line) {
  std::printf("%s\n", line.toLocal8Bit().constData());
  std::fflush(stdout);
}

}  // namespace

int RunHeadlessStation(const QString& home, const QString& soundSystem) {
  const TStationFolder folder(home);
  TConsoleMessages messages;
  if (!QDir().mkpath(folder.Path())) {
    messages.ShowError(QStringLiteral("Cannot create the station folder %1").arg(folder.Path()));
    return 1;
  }
  TSoundSystem sound = CreateSoundSystem(soundSystem, folder.Path());
  for (const QString& error : sound.Errors)
    messages.ShowError(error);
  if (!sound.Backend)
    return 2;
  TSystemClock clock;
  TSerialKeyingPort serialPort;
  TKeyingTap keyingPort(serialPort, sound.TransmitterKeyed);
  TSignalWatcher stopSignals;
  QObject::connect(&stopSignals, &TSignalWatcher::StopRequested, qApp, &QCoreApplication::quit);
  {
    TConfig config(folder, clock, keyingPort, messages);
    Print(QStringLiteral("Tarvok %1 started with settings file %2")
              .arg(config.VersionText(), config.IniFile().FileName()));
    // The transmitter starts unkeyed; a port that cannot be opened is reported now.
    config.SetPTT(false);
    TSoundCard soundCard(std::move(sound.Backend));
    QObject::connect(&soundCard, &TSoundCard::Error, [&](const QString& m) {
      messages.ShowError(m);
      if (config.Debug())
        config.WriteDebugLog(m);
    });
    QObject::connect(&soundCard, &TSoundCard::Debug, [&](const QString& text) {
      if (config.Debug())
        config.WriteDebugLog(text);
    });
    Print(QStringLiteral("Sound card: %1, %2").arg(soundCard.DeviceName(0), sound.Description));
    TSoundThread soundThread(soundCard);
    soundThread.Start();
    QCoreApplication::exec();
  }
  Print(QStringLiteral("Tarvok stopped"));
  return 0;
}

}  // namespace tarvok
