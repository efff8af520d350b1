// Tarvok: station controller for a sound-card repeater or beacon.
#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/headless_station.h"
#include "app/list_audio.h"
#include "core/config/version.h"
#include "platform/station_home.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tarvok"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(tarvok::kVersionString));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Internet Repeater: station controller for a repeater or beacon"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption headless(QStringLiteral("headless"),
                                    QStringLiteral("Run as a service, without a window."));
  const QCommandLineOption home(
      QStringLiteral("home"),
      QStringLiteral("Station folder with tarvok.ini, debug.log, temp/ and remote/."),
      QStringLiteral("DIR"), tarvok::DefaultStationHome());
  const QCommandLineOption audio(
      QStringLiteral("audio"),
      QStringLiteral("Sound system: pulse, virtual or virtual:SCENARIO (default: pulse when a "
                     "sound server answers, else virtual)."),
      QStringLiteral("NAME"));
  const QCommandLineOption listAudio(
      QStringLiteral("list-audio"),
      QStringLiteral("List the mixer lines and controls of the sound system and exit."));
  parser.addOption(headless);
  parser.addOption(home);
  parser.addOption(audio);
  parser.addOption(listAudio);
  parser.process(app);

  if (parser.isSet(listAudio))
    return tarvok::ListAudio(parser.value(audio));
  // The desktop window is not part of this build yet; the station runs as a service.
  return tarvok::RunHeadlessStation(parser.value(home), parser.value(audio));
}
