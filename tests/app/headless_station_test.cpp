// The tarvok program itself: options, start-up in a station folder and a clean stop on a signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

class HeadlessStationTest : public ::testing::Test {
 protected:
  void Start(const QStringList& extra = {}) {
    station_.start(QStringLiteral(TARVOK_BINARY),
                   QStringList{"--headless", "--home", home_.filePath("station")} + extra);
    ASSERT_TRUE(station_.waitForStarted());
    while (!output_.contains("started") && station_.waitForReadyRead(10000)) {
      output_ += station_.readAllStandardOutput();
    }
  }

  QByteArray Stop(int signalNumber) {
    ::kill(static_cast<pid_t>(station_.processId()), signalNumber);
    EXPECT_TRUE(station_.waitForFinished(10000));
    output_ += station_.readAllStandardOutput();
    return output_;
  }

  QTemporaryDir home_;
  QProcess station_;
  QByteArray output_;
};

TEST_F(HeadlessStationTest, StartsInItsFolderAndStopsCleanlyOnCtrlC) {
  Start();
  const QString settings = home_.filePath("station/tarvok.ini");
  EXPECT_TRUE(output_.contains(("started with settings file " + settings).toUtf8()))
      << output_.constData();
  Stop(SIGINT);
  EXPECT_EQ(station_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(station_.exitCode(), 0);
  EXPECT_TRUE(output_.endsWith("Tarvok stopped\n")) << output_.constData();
}

TEST_F(HeadlessStationTest, StopsCleanlyOnTerminate) {
  Start();
  Stop(SIGTERM);
  EXPECT_EQ(station_.exitCode(), 0);
  EXPECT_TRUE(output_.endsWith("Tarvok stopped\n")) << output_.constData();
}

TEST_F(HeadlessStationTest, AMissingKeyingPortIsReportedOnceAndTheStationRuns) {
  ASSERT_TRUE(QDir().mkpath(home_.filePath("station")));
  QFile settings(home_.filePath("station/tarvok.ini"));
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write("[Audio]\nComDevice=/dev/tarvok-no-such-port\n");
  settings.close();
  Start();
  Stop(SIGINT);
  EXPECT_EQ(station_.readAllStandardError(), "tarvok: Cannot open /dev/tarvok-no-such-port port\n");
  EXPECT_EQ(station_.exitCode(), 0);
}

TEST_F(HeadlessStationTest, ABadScenarioIsReportedAndTheStationRunsWithASilentCard) {
  Start({"--audio", "virtual:" + home_.filePath("missing-scenario.txt")});
  Stop(SIGINT);
  EXPECT_TRUE(output_.contains("Sound card: Virtual Sound Card")) << output_.constData();
  EXPECT_TRUE(station_.readAllStandardError().startsWith(
      "tarvok: Cannot read the scenario file " + home_.filePath("missing-scenario.txt").toUtf8()));
  EXPECT_EQ(station_.exitCode(), 0);
}

TEST(TarvokOptionsTest, AnUnknownSoundSystemIsRefusedWithTheValidNames) {
  QProcess tarvok;
  tarvok.start(QStringLiteral(TARVOK_BINARY), {"--list-audio", "--audio", "alsa"});
  ASSERT_TRUE(tarvok.waitForFinished(10000));
  EXPECT_EQ(tarvok.exitCode(), 2);
  EXPECT_EQ(tarvok.readAllStandardError(),
            "tarvok: Unknown sound system \"alsa\"; valid names are pulse, virtual and "
            "virtual:SCENARIO.\n");
}

TEST(TarvokOptionsTest, ListAudioShowsTheVirtualCardsLines) {
  QProcess tarvok;
  tarvok.start(QStringLiteral(TARVOK_BINARY), {"--list-audio", "--audio", "virtual"});
  ASSERT_TRUE(tarvok.waitForFinished(10000));
  EXPECT_EQ(tarvok.exitCode(), 0);
  const QByteArray out = tarvok.readAllStandardOutput();
  EXPECT_TRUE(
      out.startsWith("Sound system: the virtual sound card\n"
                     "Mixer device 0: Virtual Sound Card\n"
                     "   0  DST:out: Speakers\n"))
      << out.constData();
  EXPECT_TRUE(out.contains("   3  src:rec: Line In\n")) << out.constData();
}

TEST(TarvokOptionsTest, VersionAndHelpAnswerAndExit) {
  QProcess tarvok;
  tarvok.start(QStringLiteral(TARVOK_BINARY), {"--version"});
  ASSERT_TRUE(tarvok.waitForFinished(10000));
  EXPECT_TRUE(tarvok.readAllStandardOutput().startsWith("tarvok 1."));
  tarvok.start(QStringLiteral(TARVOK_BINARY), {"--help"});
  ASSERT_TRUE(tarvok.waitForFinished(10000));
  EXPECT_EQ(tarvok.exitCode(), 0);
  EXPECT_TRUE(tarvok.readAllStandardOutput().contains("--home <DIR>"));
}

}  // namespace
