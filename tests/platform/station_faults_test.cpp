// Faults an unattended station meets in its folder while it runs: a settings file that cannot be
// written or that another program replaced, and the recordings and remote folders removed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

class StationFaultsTest : public VirtualStationTest {
 protected:
  void SetUp() override {
    WriteSettings(
        "[Audio]\nSaveMode=1\nDefaultMode=2\nState=0\nSourceIndex0=3\nSourceIndex1=1\n"
        "ComDevice=virtual\n[Remote]\nRemoteEnabled=1\n");
    // A one-second transmission every five seconds.
    StartVirtual("0 rx silence\n1 rx tone 1000 -10\n2 rx silence\nrepeat 5\n");
    ASSERT_TRUE(RunUntil([this] { return ModeState() == msListen; }, 1000));
  }

  // Runs one transmission through: recorded, repeated, listening again.
  bool RepeatOne() {
    return RunUntil([this] { return ModeState() == msSignal; }, 6000) &&
           RunUntil([this] { return Keyed(); }, 3000) &&
           RunUntil([this] { return ModeState() == msListen && !Keyed(); }, 6000);
  }

  QString SettingsFile() const { return config_->Folder().SettingsFile(); }
};

TEST_F(StationFaultsTest, AReadOnlySettingsFileIsReportedOnceAtClose) {
  QFile::setPermissions(SettingsFile(), QFile::ReadOwner);
  Station().Close();
  EXPECT_EQ(messages_.Shown, std::vector<QString>{"Unable to write to " + SettingsFile()});
}

TEST_F(StationFaultsTest, ASettingsFileReplacedByAnotherProgramKeepsItsKeys) {
  // Another program writes a new file and renames it over the station's.
  QFile other(SettingsFile() + ".new");
  ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  other.write("[Audio]\nDefaultMode=2\nCWString2=OTHER\n[Notes]\nEditedBy=hand\n");
  other.close();
  ASSERT_TRUE(QFile::remove(SettingsFile()));
  ASSERT_TRUE(QFile::rename(other.fileName(), SettingsFile()));
  Station().Close();
  QFile settings(SettingsFile());
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  const QByteArray text = settings.readAll();
  EXPECT_TRUE(text.contains("CWString2=OTHER\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("[Notes]\nEditedBy=hand\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("ThresholdLevel=")) << "the station's own write is there too";
  EXPECT_TRUE(messages_.Shown.empty());
}

TEST_F(StationFaultsTest, RemovedRecordingsAndRemoteFoldersAreMadeAgain) {
  QStringList errors;
  QObject::connect(&Station(), &TStationRuntime::ErrorShown,
                   [&errors](const QString& text) { errors << text; });
  ASSERT_TRUE(RepeatOne());
  ASSERT_FALSE(RemoteStatus().isEmpty());
  ASSERT_TRUE(QDir(FilePath("temp")).removeRecursively());
  ASSERT_TRUE(QDir(FilePath("remote")).removeRecursively());
  ASSERT_TRUE(RepeatOne());
  EXPECT_EQ(TransmittedRuns().size(), 2u) << "both transmissions went on the air";
  Run(1100);
  EXPECT_EQ(RemoteStatus().value("ModeState"), "5");
  EXPECT_TRUE(errors.isEmpty()) << errors.join(" | ").toStdString();
}

}  // namespace
}  // namespace tarvok
