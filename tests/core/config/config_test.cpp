#include <QDir>
#include <QFileInfo>

#include "support/config_fixture.h"

namespace tarvok {
namespace {

TEST_F(ConfigTest, MissingSettingsFileGivesTheDefaultsWithoutCreatingIt) {
  TConfig& c = Config();
  EXPECT_EQ(c.State(), 2) << "a new station starts forced to receive";
  EXPECT_EQ(c.DefaultLogPath(), folder_.Path() + "temp/");
  EXPECT_EQ(c.LogBrowsePath(), c.DefaultLogPath());
  EXPECT_EQ(c.RemotePath(), folder_.Path() + "remote/");
  EXPECT_FALSE(c.RemoteEnabled());
  EXPECT_FALSE(QFileInfo::exists(folder_.SettingsFile()));
}

TEST_F(ConfigTest, LoadsStoredValuesAndFallsBackOnBadOnes) {
  WriteSettings(
      "[Audio]\nThresholdLevel=0x0A\nNoiseLevel=loud\nComPort=3\nComPin=1\nState=7\nAverage=3\n"
      "DefaultMode=9\nVOXControl2=1\nSourceIndex1=4\nSignalSigned0=1\nAudioTime2=0\n"
      "AudioTime4=30\nCWString2=de n0call\nCWString4=ignored\nWAVFile1=/x.wav\n"
      "LimitLogSize=4294967296\nDTMFDecoder=Block\n[automaticgaincontrol]\nEnabled1=1\nMinimum0="
      "1234\n"
      "Minimum1=-5\nMaximum1=505\nScale1=0\n");
  TConfig& c = Config();
  EXPECT_EQ(c.ThresholdLevel(), 10);
  EXPECT_EQ(c.NoiseLevel(), 55);
  EXPECT_EQ(c.ComPort(), 3);
  EXPECT_EQ(c.ComPin(), 1);
  EXPECT_EQ(c.State(), 2);
  EXPECT_EQ(c.Average(), 3);
  EXPECT_EQ(c.DefaultMode(), 1);
  EXPECT_EQ(c.VOXControl(2), 1);
  EXPECT_EQ(c.SourceIndex(1), 4);
  EXPECT_TRUE(c.SignalSigned(0));
  EXPECT_EQ(c.AudioTime(2), 600);
  EXPECT_EQ(c.AudioTime(4), 30);
  EXPECT_EQ(c.CWString(2), "de n0call");
  EXPECT_EQ(c.CWString(4), "");
  EXPECT_EQ(c.WAVFile(1), "/x.wav");
  EXPECT_EQ(c.LimitLogSize(), 4294967296LL);
  EXPECT_EQ(c.DTMFDecoder(), TDtmfDecoderKind::Block);
  EXPECT_TRUE(c.AgcEnabled(1));
  EXPECT_EQ(c.AgcMinimum(0), 100.0);
  EXPECT_EQ(c.AgcMinimum(1), 0.0);
  EXPECT_EQ(c.AgcMaximum(1), 50.5);
  EXPECT_EQ(c.AgcScale(1), 0);
}

TEST_F(ConfigTest, EverySetterWritesOnlyItsOwnKeyAtOnce) {
  WriteSettings("; my station\n[Audio]\nStopDelay=700\n");
  TConfig& c = Config();
  ASSERT_TRUE(c.SetStartDelay(20));
  ASSERT_TRUE(c.SetVOXControl(3, 1));
  ASSERT_TRUE(c.SetDisablePeakMeter(1, true));
  ASSERT_TRUE(c.SetIsLaptop(true));
  ASSERT_TRUE(c.SetRemoteEnabled(true));
  ASSERT_TRUE(c.SetLimitRecordSize(5000LL * 1024 * 1024));
  ASSERT_TRUE(c.SetDTMFDecoder(TDtmfDecoderKind::Block));
  EXPECT_EQ(Settings(),
            "; my station\n[Audio]\nStopDelay=700\nStartDelay=20\nVOXControl3=1\n"
            "DisablePeakMeter1=1\nisLaptop=1\nLimitRecordSize=5242880000\nDTMFDecoder=block\n\n"
            "[Remote]\nRemoteEnabled=1\n");
}

TEST_F(ConfigTest, AudioTimeZeroFallsBackToTheSlotDefault) {
  TConfig& c = Config();
  ASSERT_TRUE(c.SetAudioTime(2, 0));
  ASSERT_TRUE(c.SetAudioTime(1, 0));
  EXPECT_EQ(c.AudioTime(2), 600);
  EXPECT_EQ(Stored("Audio", "AudioTime2"), "600");
  EXPECT_EQ(c.AudioTime(1), 0);
  EXPECT_EQ(Stored("Audio", "AudioTime1"), "0");
}

TEST_F(ConfigTest, WavFilesMustExistAndBeaconSlotsStayInMemory) {
  WriteSettings("[Audio]\nWAVFile7=/old/beacon.wav\n");
  const QString real = dir_.filePath("id.wav");
  QFile(real).open(QIODevice::WriteOnly);
  TConfig& c = Config();
  ASSERT_TRUE(c.SetWAVFile(2, real));
  EXPECT_EQ(Stored("Audio", "WAVFile2"), real);
  ASSERT_TRUE(c.SetWAVFile(3, dir_.filePath("missing.wav")));
  EXPECT_EQ(c.WAVFile(3), "");
  EXPECT_EQ(Stored("Audio", "WAVFile3"), "");
  ASSERT_TRUE(c.SetWAVFile(7, real));
  EXPECT_EQ(c.WAVFile(7), real);
  EXPECT_EQ(Stored("Audio", "WAVFile7"), "/old/beacon.wav");
  ASSERT_TRUE(c.SetWAVFile(8, real));
  EXPECT_EQ(Stored("Audio", "WAVFile8"), "<missing>");
}

TEST_F(ConfigTest, RecordingsFolderEndsInASlashAndTheBrowsedFolderFollowsIt) {
  TConfig& c = Config();
  ASSERT_TRUE(c.SetLogPath("/var/rec"));
  EXPECT_EQ(c.LogPath(), "/var/rec/");
  EXPECT_EQ(Stored("Audio", "LogPath"), "/var/rec/");
  EXPECT_EQ(c.LogBrowsePath(), "/var/rec/");
  ASSERT_TRUE(c.SetLogPath(""));
  EXPECT_EQ(c.LogBrowsePath(), c.DefaultLogPath());

  WriteSettings("[Audio]\nLogPath=/srv/recordings\n");
  Reload();
  EXPECT_EQ(Config().LogPath(), "/srv/recordings");
  EXPECT_EQ(Config().LogBrowsePath(), "/srv/recordings/");
}

TEST_F(ConfigTest, LogCutoffFollowsTheAgeLimit) {
  TConfig& c = Config();
  EXPECT_EQ(c.LogCutoffTime(), clock_.UtcFileTime());
  ASSERT_TRUE(c.SetLimitLogDays(2));
  EXPECT_EQ(c.LogCutoffTime(), clock_.UtcFileTime() - 2 * 864000000000LL);
  clock_.AdvanceMilliseconds(3600 * 1000);
  c.UpdateLogCutoff();
  EXPECT_EQ(c.LogCutoffTime(), clock_.UtcFileTime() - 2 * 864000000000LL);
}

TEST_F(ConfigTest, RemotePathSetterCreatesTheFolderAndWritesTheValueUnchanged) {
  TConfig& c = Config();
  const QString nested = dir_.filePath("a/b/remote");
  ASSERT_TRUE(c.SetRemotePath(nested));
  EXPECT_TRUE(QFileInfo(nested).isDir());
  ASSERT_TRUE(c.SetRemotePath(""));
  EXPECT_EQ(c.RemotePath(), folder_.DefaultRemotePath());
  EXPECT_EQ(Stored("Remote", "RemotePath"), "");
  EXPECT_TRUE(QFileInfo(folder_.DefaultRemotePath()).isDir());
}

TEST_F(ConfigTest, AgcBoundsAreWrittenInTenthsAndDeriveTheLevels) {
  TConfig& c = Config();
  ASSERT_TRUE(c.SetAgcMaximum(0, 55.25));
  EXPECT_EQ(Stored("AutomaticGainControl", "Maximum0"), "552");
  ASSERT_TRUE(c.SetAgcMaximum(0, 55.75));
  EXPECT_EQ(Stored("AutomaticGainControl", "Maximum0"), "558");

  ASSERT_TRUE(c.SetAgcScale(0, 0));
  ASSERT_TRUE(c.SetAgcMinimum(0, 50));
  ASSERT_TRUE(c.SetAgcMaximum(0, 100));
  EXPECT_EQ(c.Agc(0).LowDB, 45);
  EXPECT_EQ(c.Agc(0).HighDB, 90);
  EXPECT_EQ(c.Agc(0).Low, 45);
  EXPECT_EQ(c.Agc(0).Middle, 67);

  const TAgcLevels linear = c.Agc(1);
  EXPECT_EQ(linear.Low, 0);
  EXPECT_EQ(linear.High, 32768);
  EXPECT_EQ(linear.LowDB, 0);
  EXPECT_EQ(linear.HighDB, 90);
  EXPECT_EQ(linear.Middle, 16384);
  EXPECT_EQ(DeriveAgcLevels(10, 20, 1).Low, 3276);
  EXPECT_EQ(DeriveAgcLevels(10, 20, 1).LowDB, 70);
}

TEST_F(ConfigTest, DebugLogIsOnlyOpenedWhenTheFileAsksForIt) {
  Config().WriteDebugLog("not logged");
  EXPECT_FALSE(QFileInfo::exists(folder_.DebugLogFile()));
  EXPECT_EQ(Stored("Audio", "Debug"), "<missing>");

  WriteSettings("[Audio]\nDebug=1\n");
  Reload();
  EXPECT_TRUE(Config().Debug());
  Config().WriteDebugLog("logged");
  QFile log(folder_.DebugLogFile());
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_EQ(log.readAll(), "12/05/2026 07:14:22: logged\n");
}

TEST_F(ConfigTest, ReadOnlySettingsFileIsReportedAndTheValueKeptInMemory) {
  WriteSettings("[Audio]\nComPort=1\n");
  QFile::setPermissions(folder_.SettingsFile(), QFile::ReadOwner);
  TConfig& c = Config();
  EXPECT_FALSE(c.SetComPort(2));
  EXPECT_EQ(c.ComPort(), 2);
  ASSERT_EQ(messages_.Shown.size(), 1u);
  EXPECT_EQ(messages_.Shown[0], "Unable to write to " + folder_.SettingsFile());
  EXPECT_EQ(Settings(), "[Audio]\nComPort=1\n");
}

}  // namespace
}  // namespace tarvok
