// The tarvok program with its window, as a desktop starts it: no display or no window module gives
// one line and a clean failure, SIGTERM closes the window in order even with a modal dialog open,
// and a second copy on the same folder ends with exit code 3 while the first comes to the front.
#include <gtest/gtest.h>

#include <signal.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <tuple>

#include "support/station_process.h"

namespace {

class WindowStationTest : public ::testing::Test {
 protected:
  WindowStationTest() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    station_.setProcessEnvironment(environment);
  }
  void WriteSettings(const QByteArray& content) {
    ASSERT_TRUE(QDir().mkpath(home_.filePath("station")));
    QFile file(home_.filePath("station/tarvok.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QStringList Arguments() const {
    return {"--home", home_.filePath("station"), "--audio", "virtual"};
  }
  bool WaitFor(const QByteArray& text, int timeoutMs) { return run_.WaitFor(text, timeoutMs); }
  QByteArray Read(const QString& name) const {
    QFile file(home_.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir home_;
  tarvok::TStationProcess run_;
  QProcess& station_ = run_.Process;
  QByteArray& output_ = run_.Output;
};

TEST_F(WindowStationTest, WithoutADisplayOrItsModuleItSaysSoInOneLineAndSuggestsHeadless) {
  // A program copied away from the window's module cannot open it.
  const QString alone = home_.filePath("tarvok");
  ASSERT_TRUE(QFile::copy(QStringLiteral(TARVOK_BINARY), alone));
  QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    noDisplay.remove(name);
  for (const auto& [program, environment, cause] :
       {std::tuple{QStringLiteral(TARVOK_BINARY), noDisplay, "no display"},
        std::tuple{alone, station_.processEnvironment(), "window could not be opened"}}) {
    station_.setProcessEnvironment(environment);
    station_.start(program, Arguments());
    ASSERT_TRUE(station_.waitForFinished(10000));
    EXPECT_EQ(station_.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(station_.exitCode(), 0);
    const QByteArray error = station_.readAllStandardError();
    EXPECT_TRUE(error.contains(cause)) << error.constData();
    EXPECT_TRUE(error.contains("--headless")) << error.constData();
    EXPECT_EQ(error.count('\n'), 1) << error.constData();
  }
}

TEST_F(WindowStationTest, SigtermWithAModalDialogOpenClosesInOrder) {
  // Both traces on outputs: the first show asks the trace warning in a modal box.
  WriteSettings(
      "[Audio]\nState=1\nComDevice=virtual\nVOXAutoDetect=1\nSourceIndex0=1\nSourceIndex1=1\n");
  station_.start(QStringLiteral(TARVOK_BINARY), Arguments());
  ASSERT_TRUE(WaitFor("Warning: The VOX algorithm", 10000)) << output_.constData();
  ASSERT_TRUE(output_.contains("Transmitter keyed"));
  ::kill(static_cast<pid_t>(station_.processId()), SIGTERM);
  ASSERT_TRUE(station_.waitForFinished(10000));
  output_ += station_.readAllStandardOutput();
  EXPECT_EQ(station_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(station_.exitCode(), 0);
  EXPECT_TRUE(output_.contains("Transmitter released")) << output_.constData();
  EXPECT_TRUE(output_.endsWith("Tarvok stopped\n")) << output_.constData();
  EXPECT_TRUE(Read("station/tarvok.ini").contains("DefaultMode=1"));
  const QList<QByteArray> keying = Read("station/transmitter.log").trimmed().split('\n');
  EXPECT_TRUE(keying.last().contains("released")) << keying.last().constData();
}

TEST_F(WindowStationTest, ErrorsBeforeAndAfterTheWindowOpensAreTimestampedLinesOfTheLog) {
  WriteSettings("[Audio]\nComDevice=/dev/tarvok-no-such-port\n");
  const QString scenario = home_.filePath("missing.scenario");
  station_.start(QStringLiteral(TARVOK_BINARY),
                 {"--home", home_.filePath("station"), "--audio", "virtual:" + scenario});
  ASSERT_TRUE(WaitFor("Error: Cannot open /dev/tarvok-no-such-port port", 10000))
      << output_.constData();
  ASSERT_TRUE(WaitFor("Error: Cannot read the scenario file " + scenario.toUtf8(), 10000))
      << output_.constData();
  const QRegularExpression stamped(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d [0-9:.]{12}  Error: "),
                                   QRegularExpression::MultilineOption);
  EXPECT_EQ(QString::fromUtf8(output_).count(stamped), 2) << output_.constData();
  ::kill(static_cast<pid_t>(station_.processId()), SIGINT);
  ASSERT_TRUE(station_.waitForFinished(10000));
  EXPECT_EQ(station_.exitCode(), 0);
}

TEST_F(WindowStationTest, ASecondCopyRaisesTheFirstAndEndsWithCode3) {
  station_.start(QStringLiteral(TARVOK_BINARY), Arguments());
  ASSERT_TRUE(WaitFor("Sound card:", 10000)) << output_.constData();
  QProcess second;
  second.setProcessEnvironment(station_.processEnvironment());
  second.start(QStringLiteral(TARVOK_BINARY), Arguments());
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitCode(), 3);
  EXPECT_TRUE(WaitFor("Another copy of the station was started", 5000)) << output_.constData();
  ::kill(static_cast<pid_t>(station_.processId()), SIGINT);
  ASSERT_TRUE(station_.waitForFinished(10000));
  EXPECT_EQ(station_.exitCode(), 0);
}

}  // namespace
