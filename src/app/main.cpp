// Tarvok: station controller for a sound-card repeater or beacon.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <memory>

#include "app/headless_station.h"
#include "app/list_audio.h"
#include "app/web_user_command.h"
#include "app/window_module.h"
#include "core/config/version.h"
#include "platform/station_home.h"

int main(int argc, char* argv[]) {
  const bool windowless = tarvok::RunsWithoutWindow(argc, argv);
  tarvok::TWindowModule window;
  if (!windowless && !window.Open())
    return 1;
  std::unique_ptr<QCoreApplication> app = windowless
                                              ? std::make_unique<QCoreApplication>(argc, argv)
                                              : window.CreateApplication(argc, argv);
  if (!app)
    return 1;
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
      QStringLiteral("Sound system: pulse, alsa, alsa:DEVICE, virtual or virtual:SCENARIO "
                     "(default: pulse when a sound server answers, else alsa when one card has "
                     "capture and playback, else virtual)."),
      QStringLiteral("NAME"));
  const QCommandLineOption listAudio(
      QStringLiteral("list-audio"),
      QStringLiteral("List the mixer lines and controls of the sound system and exit."));
  const QCommandLineOption webUser(
      QStringLiteral("web-user"),
      QStringLiteral("Add or change a web console user (with --role; the password is read from "
                     "standard input), or remove one (with --remove), and exit."),
      QStringLiteral("NAME"));
  const QCommandLineOption role(QStringLiteral("role"),
                                QStringLiteral("The web user's role: viewer, operator or admin."),
                                QStringLiteral("ROLE"));
  const QCommandLineOption remove(QStringLiteral("remove"),
                                  QStringLiteral("Remove the web user named by --web-user."));
  parser.addOption(headless);
  parser.addOption(home);
  parser.addOption(audio);
  parser.addOption(listAudio);
  parser.addOption(webUser);
  parser.addOption(role);
  parser.addOption(remove);
  parser.process(*app);

  if (parser.isSet(webUser)) {
    return tarvok::RunWebUserCommand(parser.value(home), parser.value(webUser), parser.value(role),
                                     parser.isSet(remove));
  }
  if (parser.isSet(listAudio))
    return tarvok::ListAudio(parser.value(audio));
  if (parser.isSet(headless))
    return tarvok::RunHeadlessStation(parser.value(home), parser.value(audio));
  return window.RunStation(parser.value(home), parser.value(audio));
}
