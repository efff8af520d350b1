// The tarvok program itself: options, start-up in a station folder, the operator log of a station
// at work, one station per folder and a clean stop on a signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/station_process.h"

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

  void WriteFile(const QString& name, const QByteArray& content) {
    ASSERT_TRUE(QDir().mkpath(home_.filePath("station")));
    QFile file(home_.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  // Reads the log until it holds the text; false after the timeout.
  bool WaitFor(const QByteArray& text, int timeoutMs) { return run_.WaitFor(text, timeoutMs); }
  // The log from the first line holding `from` on.
  QByteArray LogFrom(const QByteArray& from) const { return output_.mid(output_.indexOf(from)); }

  QByteArray Stop(int signalNumber) {
    ::kill(static_cast<pid_t>(station_.processId()), signalNumber);
    EXPECT_TRUE(station_.waitForFinished(10000));
    output_ += station_.readAllStandardOutput();
    return output_;
  }

  QTemporaryDir home_;
  tarvok::TStationProcess run_;
  QProcess& station_ = run_.Process;
  QByteArray& output_ = run_.Output;
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

TEST_F(HeadlessStationTest, AMissingKeyingPortAndABadScenarioAreReportedOnceAndTheStationRuns) {
  WriteFile("station/tarvok.ini", "[Audio]\nComDevice=/dev/tarvok-no-such-port\n");
  const QString scenario = home_.filePath("missing-scenario.txt");
  Start({"--audio", "virtual:" + scenario});
  Stop(SIGINT);
  EXPECT_TRUE(output_.contains("Sound card: Virtual Sound Card")) << output_.constData();
  const QByteArray errors = station_.readAllStandardError();
  EXPECT_EQ(errors.count("tarvok: Cannot open /dev/tarvok-no-such-port port\n"), 1)
      << errors.constData();
  EXPECT_TRUE(errors.contains("tarvok: Cannot read the scenario file " + scenario.toUtf8()));
  EXPECT_EQ(errors.count('\n'), 2);
  EXPECT_EQ(station_.exitCode(), 0);
}

TEST_F(HeadlessStationTest, TheLogFollowsASimplexRepeaterCycle) {
  WriteFile("station/tarvok.ini",
            "[Audio]\nSaveMode=1\nDefaultMode=2\nState=0\nSourceIndex0=3\nSourceIndex1=1\n"
            "ComDevice=virtual\nAudioTime2=2\nCWString2=E\n");
  WriteFile("rx.scenario", "0 rx silence\n0.5 rx tone 800 -12\n1.5 rx silence\n");
  Start({"--audio", "virtual:" + home_.filePath("rx.scenario")});
  ASSERT_TRUE(WaitFor("State: TRANSMITTING CW TONE", 20000)) << output_.constData();
  ASSERT_TRUE(WaitFor("Transmitter released", 10000)) << output_.constData();
  Stop(SIGINT);

  const QByteArray cycle = LogFrom("Mode: Simplex Repeater");
  const QList<QByteArray> steps{
      "State: LISTENING",       "Recording to ",       "State: RECORDING",
      "Recording finished: ",   "Transmitter keyed",   "State: TRANSMITTING\n",
      "State: TRANSMITTING CW", "Transmitter released"};
  qsizetype at = 0;
  for (const QByteArray& step : steps) {
    at = cycle.indexOf(step, at);
    ASSERT_GE(at, 0) << step.constData() << " missing or out of order in\n" << output_.constData();
  }
  const QByteArray recorded = cycle.mid(cycle.indexOf("Recording to ") + 13).split('\n').first();
  EXPECT_TRUE(cycle.contains("Recording finished: " + recorded)) << output_.constData();
  EXPECT_TRUE(recorded.endsWith(".wav")) << recorded.constData();
  QFile keying(home_.filePath("station/transmitter.log"));
  ASSERT_TRUE(keying.open(QIODevice::ReadOnly));
  EXPECT_TRUE(keying.readAll().contains("keyed")) << output_.constData();
  EXPECT_TRUE(output_.endsWith("Tarvok stopped\n")) << output_.constData();
}

TEST_F(HeadlessStationTest, OneStationPerFolderAndAKilledStationBlocksNothing) {
  Start({"--audio", "virtual"});
  QProcess second;
  second.start(QStringLiteral(TARVOK_BINARY),
               {"--headless", "--home", home_.filePath("station"), "--audio", "virtual"});
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_NE(second.exitCode(), 0);
  EXPECT_TRUE(second.readAllStandardError().contains("is already running on the station folder"));
  EXPECT_TRUE(WaitFor("Another copy of the station was started", 5000)) << output_.constData();

  Stop(SIGKILL);
  output_.clear();
  Start({"--audio", "virtual"});
  EXPECT_TRUE(output_.contains("started with settings file")) << output_.constData();
  Stop(SIGINT);
  EXPECT_EQ(station_.exitCode(), 0);
}

TEST_F(HeadlessStationTest, DtmfKeysHeardInInternetRepeaterModeAreLoggedAtLoudAndQuietLevels) {
  WriteFile("station/tarvok.ini", "[Audio]\nDTFMEnabled=1\nComDevice=virtual\n");
  WriteFile("rx.scenario", "0 rx silence\n0.5 rx dtmf 73 500 500 -10\n2.5 rx dtmf 9 100 100 -30\n");
  Start({"--audio", "virtual:" + home_.filePath("rx.scenario")});
  EXPECT_TRUE(WaitFor("DTMF key: 9", 10000)) << output_.constData();
  Stop(SIGINT);
  const QByteArray keys = LogFrom("DTMF key: 7");
  EXPECT_TRUE(keys.contains("DTMF key: 3")) << output_.constData();
  EXPECT_TRUE(LogFrom("DTMF key: 3").contains("DTMF key: 9")) << output_.constData();
}

TEST(TarvokOptionsTest, AnUnknownSoundSystemIsRefusedWithTheValidNames) {
  QProcess tarvok;
  tarvok.start(QStringLiteral(TARVOK_BINARY), {"--list-audio", "--audio", "oss"});
  ASSERT_TRUE(tarvok.waitForFinished(10000));
  EXPECT_EQ(tarvok.exitCode(), 2);
  EXPECT_EQ(
      tarvok.readAllStandardError(),
      "tarvok: Unknown sound system \"oss\"; valid names are pulse, alsa, alsa:DEVICE, virtual and "
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
