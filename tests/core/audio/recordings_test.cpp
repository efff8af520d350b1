#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/audio/air_wav_files.h"
#include "core/audio/log_file_list.h"
#include "core/audio/recordings_cleanup.h"
#include "core/audio/wav_recording_file.h"
#include "core/common/clock.h"

namespace tarvok {
namespace {

class RecordingsTest : public ::testing::Test {
 protected:
  // A station recording of `bytes` bytes in all, last written `age` minutes before now.
  QString MakeRecording(const QString& name, std::int64_t bytes, int ageMinutes,
                        TWaveFormat format = TWaveFormat::Pcm(8000, 8, 1)) {
    const QString path = dir_.filePath(name);
    TWavRecordingFile file;
    EXPECT_EQ(file.Create(path, format), "");
    file.Close();
    QFile raw(path);
    EXPECT_TRUE(raw.open(QIODevice::ReadWrite));
    raw.resize(bytes);
    raw.setFileTime(QDateTime::currentDateTime().addSecs(-60 * ageMinutes),
                    QFileDevice::FileModificationTime);
    return path;
  }

  QStringList Remaining() const { return QDir(dir_.path()).entryList(QDir::Files, QDir::Name); }

  QTemporaryDir dir_;
};

TEST(RecordingNameTest, DateAndTimeComeFromARecordingName) {
  const TRecordingName name = ParseRecordingName("070305_140309.wav");
  EXPECT_EQ(name.DateText, "03/05/07");
  EXPECT_EQ(name.TimeText, "14:03:09");
  for (const char* other : {"notes.wav", "070305-140309.wav", "0703051_40309.wav",
                            "070305_14030.wav", "070305_1403091.wav", "07030a_1403091.wav",
                            "\u0660\u0667\u0660\u0663\u0660\u0665_140309.wav"}) {
    EXPECT_EQ(ParseRecordingName(other).DateText, "") << other;
  }
  EXPECT_EQ(ParseRecordingName("261206_235959").TimeText, "23:59:59");
  EXPECT_EQ(ParseRecordingName("070305_140309-copy.wav").TimeText, "14:03:09");
}

TEST_F(RecordingsTest, ListShowsSizeLengthAndPropertiesOldestFirst) {
  MakeRecording("261206_101500.wav", 1764058, 5, TWaveFormat::Pcm(44100, 16, 2));
  MakeRecording("notes.wav", 8058, 10);
  MakeRecording("261206_102000.wav", 58, 1);
  TLogFileList list;
  for (const QFileInfo& file : RecordingFiles(dir_.path()))
    list.AddFile(file, true);
  list.Sort();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0).FileName, "notes.wav");
  EXPECT_EQ(list.Items(0).DateText, "");
  EXPECT_EQ(list.Items(0).LengthText, "1 secs");
  const TLogFile& stereo = list.Items(1);
  EXPECT_EQ(stereo.DateText, "12/06/26");
  EXPECT_EQ(stereo.SizeText, "1722 Kb");
  EXPECT_EQ(stereo.LengthText, "10 secs");
  EXPECT_EQ(stereo.PropertiesText, "44KHz, 16Bit, Stereo");
}

TEST_F(RecordingsTest, AFileWithoutAReadableHeaderIsListedWithoutLength) {
  QFile junk(dir_.filePath("junk.wav"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(100, 'x'));
  junk.close();
  TLogFileList list;
  list.AddFile(QFileInfo(junk.fileName()), true);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).LengthText, "");
  EXPECT_EQ(list.Items(0).PropertiesText, "");
}

TEST_F(RecordingsTest, SizeLimitKeepsTheNewestThatFitBelowIt) {
  constexpr std::int64_t kMB = 1048576;
  MakeRecording("a_oldest.wav", kMB, 40);
  MakeRecording("b.wav", kMB, 30);
  MakeRecording("c.wav", kMB, 20);
  MakeRecording("d_newest.wav", kMB, 10);
  MakeRecording("e_empty.wav", 58, 50);
  const QStringList deleted = CleanRecordings(dir_.path(), {0, 0, 3 * kMB});
  EXPECT_EQ(Remaining(), (QStringList{"c.wav", "d_newest.wav", "e_empty.wav"}));
  EXPECT_EQ(deleted.size(), 2);
}

TEST_F(RecordingsTest, AgeLimitDeletesOlderRecordingsOfAnySize) {
  MakeRecording("old.wav", 5000, 0);
  MakeRecording("empty.wav", 58, 0);
  QFile(dir_.filePath("notes.txt")).open(QIODevice::WriteOnly);
  const TSystemClock clock;
  const std::int64_t future = clock.UtcFileTime() + 864000000000LL;
  CleanRecordings(dir_.path(), {1, future, 0});
  EXPECT_EQ(Remaining(), QStringList{"notes.txt"});

  MakeRecording("new.wav", 5000, 0);
  CleanRecordings(dir_.path(), {1, clock.UtcFileTime() - 864000000000LL, 0});
  EXPECT_EQ(Remaining(), (QStringList{"new.wav", "notes.txt"}));
}

TEST_F(RecordingsTest, NoLimitsOrTheRecordingInUseAreNeverTrimmed) {
  const QString recording = MakeRecording("now.wav", 2000000, 0);
  EXPECT_TRUE(CleanRecordings(dir_.path(), {0, 0, 0}).isEmpty());
  EXPECT_TRUE(CleanRecordings(dir_.path(), {0, 0, 1000}, {recording}).isEmpty());
  EXPECT_EQ(Remaining(), QStringList{"now.wav"});
}

TEST_F(RecordingsTest, TheFilesOfferedForTheAirLeaveOutTheStationsOwnOutput) {
  for (const char* name : {"b.wav", "A.wav", "transmitter.wav", "notes.txt"})
    MakeRecording(name, 100, 0);
  EXPECT_EQ(AirWavFiles(dir_.path()), QStringList({"A.wav", "b.wav"}));
}

}  // namespace
}  // namespace tarvok
