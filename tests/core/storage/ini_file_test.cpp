#include "core/storage/ini_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tarvok {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  QString Path() const { return dir_.filePath(QStringLiteral("tarvok.ini")); }

  void WriteFile(const QByteArray& content) {
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  QByteArray ReadFile() const {
    QFile file(Path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
};

TEST_F(IniFileTest, FindsSectionsAndKeysRegardlessOfCase) {
  WriteFile("; station settings\n[audio]\n  comport = 3 \n[Remote]\nRemotePath=/srv/r\n");
  TIniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("Audio", "ComPort", 0), 3);
  EXPECT_EQ(ini.ReadString("REMOTE", "remotepath", "x"), "/srv/r");
  EXPECT_EQ(ini.ReadString("Audio", "RemotePath", "x"), "x");
  EXPECT_TRUE(ini.SectionExists("AUDIO"));
  EXPECT_FALSE(ini.SectionExists("Filter"));
}

TEST_F(IniFileTest, ReadsIntegersAsDecimalOrHexAndFallsBackOnAnythingElse) {
  WriteFile(
      "[A]\nhex=0x1F\nHEX2=0XfF\ndec=-42\nbad=12abc\nempty=\nbadhex=0x\nhuge=99999999999\n"
      "flag=2\nno=0\nword=yes\n");
  TIniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("A", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("A", "hex2", 0), 255);
  EXPECT_EQ(ini.ReadInteger("A", "dec", 0), -42);
  EXPECT_EQ(ini.ReadInteger("A", "bad", 7), 7);
  EXPECT_EQ(ini.ReadInteger("A", "empty", 7), 7);
  EXPECT_EQ(ini.ReadInteger("A", "badhex", 7), 7);
  EXPECT_EQ(ini.ReadInteger("A", "huge", 7), 7);
  EXPECT_EQ(ini.ReadInt64("A", "huge", 7), 99999999999LL);
  EXPECT_EQ(ini.ReadInteger("A", "missing", 7), 7);
  EXPECT_TRUE(ini.ReadBool("A", "flag", false));
  EXPECT_FALSE(ini.ReadBool("A", "no", true));
  EXPECT_TRUE(ini.ReadBool("A", "word", true));
}

TEST_F(IniFileTest, CutsLongStringsAt2047Characters) {
  WriteFile("[A]\nlong=" + QByteArray(3000, 'x') + "\n");
  EXPECT_EQ(TIniFile(Path()).ReadString("A", "long", "").size(), 2047);
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndTheFirstWriteCreatesIt) {
  TIniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("Audio", "ComPort", 5), 5);
  ASSERT_TRUE(ini.WriteInteger("Audio", "ComPort", 2));
  EXPECT_EQ(ReadFile(), "[Audio]\nComPort=2\n");
}

TEST_F(IniFileTest, UpdatesItsOwnLineInPlaceAndKeepsEverythingElse) {
  WriteFile(
      "; written by hand\n[Audio]\n# the port\ncomport=3\nPeakSpeed=50\n\n[Remote]\n"
      "RemoteEnabled=1\n");
  TIniFile ini(Path());
  ASSERT_TRUE(ini.WriteInteger("AUDIO", "ComPort", 4));
  EXPECT_EQ(ReadFile(),
            "; written by hand\n[Audio]\n# the port\nComPort=4\nPeakSpeed=50\n\n[Remote]\n"
            "RemoteEnabled=1\n");
}

TEST_F(IniFileTest, AppendsAMissingKeyToItsSectionAndAMissingSectionAtTheEnd) {
  WriteFile("[Audio]\nComPort=3\n\n[Remote]\nRemoteEnabled=1\n");
  TIniFile ini(Path());
  ASSERT_TRUE(ini.WriteString("Audio", "LogPath", "/var/rec/"));
  ASSERT_TRUE(ini.WriteBool("Filter", "Enabled", true));
  EXPECT_EQ(ReadFile(),
            "[Audio]\nComPort=3\nLogPath=/var/rec/\n\n[Remote]\nRemoteEnabled=1\n\n"
            "[Filter]\nEnabled=1\n");
}

TEST_F(IniFileTest, WindowsLineEndingsAreRead) {
  WriteFile("[Audio]\r\nNote\r\r\nComPort=3\r\n");
  TIniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("Audio", "ComPort", 0), 3);
  ASSERT_TRUE(ini.WriteInteger("Audio", "ComPort", 4));
  EXPECT_EQ(ini.ReadInteger("Audio", "ComPort", 0), 4);
  EXPECT_EQ(ReadFile(), "[Audio]\nNote\nComPort=4\n") << "the next write changes no other line";
  WriteFile("[Audio]\r\nComPort=4\r\n");
  ASSERT_TRUE(ini.WriteInteger("Audio", "ComPort", 4));
  EXPECT_EQ(ReadFile(), "[Audio]\r\nComPort=4\r\n")
      << "a value written as it stands changes nothing";
}

TEST_F(IniFileTest, AValueWithALineBreakCannotAddKeys) {
  TIniFile ini(Path());
  ASSERT_TRUE(ini.WriteString("Audio", "CWTest", "CQ\nComPort=9"));
  EXPECT_EQ(ini.ReadInteger("Audio", "ComPort", 0), 0);
  EXPECT_EQ(ini.ReadString("Audio", "CWTest", ""), "CQ ComPort=9");
  // A carriage return inside a line, from another program, reads as it would be written back.
  WriteFile("[Audio]\nCWTest=CQ\rDE\n");
  EXPECT_EQ(ini.ReadString("Audio", "CWTest", ""), "CQ DE");
}

TEST_F(IniFileTest, WritesKeepThePermissionsAndLeaveNoTemporaryFiles) {
  WriteFile("[Audio]\nComPort=3\n");
  const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
  ASSERT_TRUE(QFile::setPermissions(Path(), mode));
  TIniFile ini(Path());
  for (int i = 0; i < 20; ++i)
    ASSERT_TRUE(ini.WriteInteger("Audio", "ComPort", i));
  EXPECT_EQ(QFile::permissions(Path()), mode);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"tarvok.ini"});
}

TEST_F(IniFileTest, AFileChangedByHandIsSeenByTheNextReadAndWrite) {
  TIniFile ini(Path());
  ASSERT_TRUE(ini.WriteInteger("Audio", "ComPort", 1));
  WriteFile("[Audio]\nComPort=1\nDebug=1\n");
  EXPECT_TRUE(ini.ReadBool("Audio", "Debug", false));
  ASSERT_TRUE(ini.WriteInteger("Audio", "ComPort", 2));
  EXPECT_EQ(ReadFile(), "[Audio]\nComPort=2\nDebug=1\n");
}

TEST_F(IniFileTest, BatchWritesTheFileOnceAtTheEndAndReadsItsOwnWrites) {
  WriteFile("; kept\n[Audio]\nComPort=3\n");
  TIniFile ini(Path());
  const bool ok = ini.Batch([&] {
    EXPECT_TRUE(ini.WriteInteger("Audio", "ComPort", 4));
    EXPECT_TRUE(ini.Batch([&] { ini.WriteInteger("List", "Count", 2); }));
    EXPECT_EQ(ini.ReadInteger("Audio", "ComPort", 0), 4);
    EXPECT_TRUE(ini.SectionExists("List"));
    EXPECT_EQ(ini.SectionCount(), 2);
    EXPECT_EQ(ReadFile(), "; kept\n[Audio]\nComPort=3\n");
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadFile(), "; kept\n[Audio]\nComPort=4\n\n[List]\nCount=2\n");
  ASSERT_TRUE(ini.WriteInteger("Audio", "ComPort", 5));  // single writes go through again
  EXPECT_EQ(ReadFile(), "; kept\n[Audio]\nComPort=5\n\n[List]\nCount=2\n");
}

TEST_F(IniFileTest, BatchOnAReadOnlyFileFailsOnlyWhenItChangesSomething) {
  WriteFile("[Audio]\nComPort=3\n");
  ASSERT_TRUE(QFile::setPermissions(Path(), QFile::ReadOwner | QFile::ReadGroup));
  TIniFile ini(Path());
  EXPECT_TRUE(ini.Batch([&] { ini.WriteInteger("Audio", "ComPort", 3); }));
  EXPECT_FALSE(ini.Batch([&] { ini.WriteInteger("Audio", "ComPort", 4); }));
  EXPECT_EQ(ReadFile(), "[Audio]\nComPort=3\n");
  EXPECT_EQ(ini.ReadInteger("Audio", "ComPort", 0), 3);
}

}  // namespace
}  // namespace tarvok
