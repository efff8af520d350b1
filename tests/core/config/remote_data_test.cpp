#include "core/config/remote_data.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace tarvok {
namespace {

class RemoteDataTest : public ::testing::Test {
 protected:
  RemoteDataTest() { remote_->SetPath(dir_.path()); }

  void WriteCommand(const QByteArray& content) {
    QFile file(remote_->CommandFileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QByteArray StatusFile() const {
    QFile file(remote_->StatusFileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  std::unique_ptr<TRemoteDataFile> remote_ = std::make_unique<TRemoteDataFile>(1, 5);
};

TEST_F(RemoteDataTest, StatusIsWrittenOnTheFirstPollAndThenOnlyWhenItChanged) {
  EXPECT_TRUE(remote_->StatusChanged());
  EXPECT_FALSE(remote_->StatusChanged());
  remote_->Status.RepeaterMode = 2;
  remote_->Status.RepeaterMode = 0;
  EXPECT_FALSE(remote_->StatusChanged());
  remote_->Status.PinValue = 1;
  EXPECT_TRUE(remote_->StatusChanged());
  EXPECT_EQ(remote_->LastStatus, remote_->Status);
}

TEST_F(RemoteDataTest, StatusFileHoldsSixLinesAndNothingStaleBehindThem) {
  remote_->Status = {3, 1, 12, 1};
  remote_->WriteStatus();
  EXPECT_EQ(StatusFile(),
            "VersionMajor=1\nVersionMinor=5\nRepeaterMode=3\nRepeaterState=1\nModeState=12\n"
            "PinValue=1\n");
  remote_->Status = {1, 0, 5, 0};
  remote_->WriteStatus();
  EXPECT_EQ(StatusFile(),
            "VersionMajor=1\nVersionMinor=5\nRepeaterMode=1\nRepeaterState=0\nModeState=5\n"
            "PinValue=0\n");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"tarvok.rmt"});
}

TEST_F(RemoteDataTest, AStatusFileThatCannotBeWrittenSetsTheLastError) {
  // A file where the folder should be: no folder can be made there.
  QFile blocker(dir_.filePath("blocked"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  remote_->SetPath(blocker.fileName());
  remote_->WriteStatus();
  EXPECT_FALSE(remote_->LastError.isEmpty());
}

TEST_F(RemoteDataTest, TheStatusFileGoesWithTheStationAndACommandFileStays) {
  remote_->WriteStatus();
  WriteCommand("command=1\n");
  remote_.reset();
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"tarvok.cmd"});
}

TEST_F(RemoteDataTest, ReadsACommandOnceAndDeletesIt) {
  EXPECT_EQ(remote_->ReadCommand(), 0);
  WriteCommand("command=1\r\nmode=2\r\nstate=1");
  ASSERT_TRUE(remote_->CommandExists());
  EXPECT_EQ(remote_->ReadCommand(), 1);
  EXPECT_EQ(remote_->GetIntValue("mode"), 2);
  EXPECT_EQ(remote_->GetIntValue("state"), 1);
  EXPECT_EQ(remote_->GetValue("missing"), "");
  EXPECT_FALSE(remote_->CommandExists());
  EXPECT_EQ(remote_->ReadCommand(), 0);
}

TEST_F(RemoteDataTest, NamesAreExactTheFirstOneCountsAndGarbageIsIgnored) {
  WriteCommand(" Command = 1 \nno equals sign\n\n\tmode =\t3 \nmode=1\n");
  EXPECT_EQ(remote_->ReadCommand(), 0);
  EXPECT_EQ(remote_->GetIntValue("Command"), 1);
  EXPECT_EQ(remote_->GetIntValue("mode"), 3);
  EXPECT_FALSE(remote_->CommandExists());

  WriteCommand("command=257\n");
  EXPECT_EQ(remote_->ReadCommand(), 1);
  WriteCommand("command=one\n");
  EXPECT_EQ(remote_->ReadCommand(), 0);
  EXPECT_FALSE(remote_->CommandExists());
}

TEST_F(RemoteDataTest, ALineAcrossTwoPiecesIsReadAsOneAndAZeroByteEndsItsPiece) {
  QByteArray content = "note=" + QByteArray(245, 'x') + "\ncommand=1\n";
  ASSERT_LT(content.indexOf("command"), 256);
  ASSERT_GT(content.indexOf("command") + 10, 256);
  WriteCommand(content);
  EXPECT_EQ(remote_->ReadCommand(), 1);

  QByteArray withZero = "command=1\n" + QByteArray(1, '\0') + "mode=9\n";
  withZero += QByteArray(256 - withZero.size(), 'y') + "mode=2\n";
  WriteCommand(withZero);
  EXPECT_EQ(remote_->ReadCommand(), 1);
  EXPECT_EQ(remote_->GetIntValue("mode"), 2);
}

TEST(RemoteIntValueTest, ReadsDecimalAndHexadecimalUpToTheFirstStrayCharacter) {
  EXPECT_EQ(RemoteIntValue("42"), 42);
  EXPECT_EQ(RemoteIntValue("-5"), -5);
  EXPECT_EQ(RemoteIntValue("+7"), 7);
  EXPECT_EQ(RemoteIntValue("$1F"), 31);
  EXPECT_EQ(RemoteIntValue("x10"), 16);
  EXPECT_EQ(RemoteIntValue("0X1a"), 26);
  EXPECT_EQ(RemoteIntValue("12abc"), 12);
  EXPECT_EQ(RemoteIntValue(""), 0);
  EXPECT_EQ(RemoteIntValue("abc"), 0);
}

}  // namespace
}  // namespace tarvok
