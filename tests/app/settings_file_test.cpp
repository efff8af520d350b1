// The settings file as the operator finds it after the station: a station killed while
// Preferences is open starts again in the state it had before the dialog, and a file that cannot
// be written is reported once in all. The window runs on a private X server, driven as a user
// would drive it.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "support/station_process.h"

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  ~SettingsFileTest() override {
    for (QProcess* process : {&run_.Process, &xvfb_}) {
      if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(5000);
      }
    }
  }
  void WriteSettings(const QByteArray& content) {
    ASSERT_TRUE(QDir().mkpath(home_.filePath("station")));
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QString SettingsFile() const { return home_.filePath("station/tarvok.ini"); }
  QByteArray Settings() const {
    QFile file(SettingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void Start(const QStringList& extra, const QProcessEnvironment& environment) {
    run_.Process.setProcessEnvironment(environment);
    run_.Process.start(
        QStringLiteral(TARVOK_BINARY),
        QStringList{"--home", home_.filePath("station"), "--audio", "virtual"} + extra);
    ASSERT_TRUE(run_.WaitFor("Sound card:", 10000)) << run_.Output.constData();
  }
  // A private X server; false when the machine has none.
  bool StartXvfb() {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty())
      return false;
    display_ = QStringLiteral(":%1").arg(100 + ::getpid() % 400);
    xvfb_.start("Xvfb", {display_, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    const QString socket = "/tmp/.X11-unix/X" + display_.mid(1);
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(socket) && timer.elapsed() < 10000)
      QThread::msleep(50);
    return QFile::exists(socket);
  }
  QProcessEnvironment OnXvfb() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display_);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return environment;
  }
  // xdotool on the private server; its standard output, "" when it failed or took too long.
  QByteArray XDoTool(const QStringList& arguments) const {
    QProcess tool;
    tool.setProcessEnvironment(OnXvfb());
    tool.start("xdotool", arguments);
    if (!tool.waitForFinished(10000)) {
      tool.kill();
      tool.waitForFinished();
      return {};
    }
    return tool.exitCode() == 0 ? tool.readAllStandardOutput().trimmed() : QByteArray();
  }
  // Ctrl+P in the main window; true once the Preferences dialog shows.
  bool OpenPreferences() {
    const QByteArray window =
        XDoTool({"search", "--sync", "--onlyvisible", "--name", "Repeater"}).split('\n').first();
    if (window.isEmpty())
      return false;
    XDoTool({"windowfocus", "--sync", window, "key", "ctrl+p"});
    return !XDoTool({"search", "--sync", "--onlyvisible", "--name", "^Preferences$"}).isEmpty();
  }

  QTemporaryDir home_;
  tarvok::TStationProcess run_;
  QProcess xvfb_;
  QString display_;
};

TEST_F(SettingsFileTest, KilledWithPreferencesOpenItRestartsInTheStateBeforeTheDialog) {
  if (!StartXvfb())
    GTEST_SKIP() << "Xvfb and xdotool are needed";
  WriteSettings("[Audio]\nState=1\nComDevice=virtual\n");
  Start({}, OnXvfb());
  ASSERT_TRUE(run_.WaitFor("Transmitter keyed", 10000)) << run_.Output.constData();
  ASSERT_TRUE(OpenPreferences());
  ASSERT_TRUE(run_.WaitFor("Transmitter released", 10000)) << "the dialog holds it off";
  EXPECT_TRUE(Settings().contains("State=1\n")) << Settings().constData();
  run_.Process.kill();
  ASSERT_TRUE(run_.Process.waitForFinished(10000));

  run_.Output.clear();
  Start({"--headless"}, QProcessEnvironment::systemEnvironment());
  EXPECT_TRUE(run_.WaitFor("Transmitter keyed", 10000)) << run_.Output.constData();
}

TEST_F(SettingsFileTest, AReadOnlyFileIsReportedOnceUntilTheProcessHasEnded) {
  WriteSettings("[Audio]\nComDevice=virtual\n");
  Start({"--headless"}, QProcessEnvironment::systemEnvironment());
  QFile::setPermissions(SettingsFile(), QFile::ReadOwner);
  ::kill(static_cast<pid_t>(run_.Process.processId()), SIGTERM);
  ASSERT_TRUE(run_.Process.waitForFinished(10000));
  const QByteArray errors = run_.Process.readAllStandardError();
  EXPECT_EQ(errors.count("Unable to write"), 1) << errors.constData();
}

}  // namespace
