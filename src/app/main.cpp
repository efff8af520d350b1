// Tarvok: station controller for a sound-card repeater or beacon.
#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/headless_station.h"
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
  parser.addOption(headless);
  parser.addOption(home);
  parser.process(app);

  // The desktop window is not part of this build yet; the station runs as a service.
  return tarvok::RunHeadlessStation(parser.value(home));
}
