#include "pcm_wav.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/audio/wav_recording_file.h"

namespace tarvok {
namespace {

const std::vector<std::int16_t> kSamples{1, -1, -32768, 32767};

class PcmWavTest : public ::testing::Test {
 protected:
  // A recording of silence in the station's own layout.
  QString Recording(const TWaveFormat& format) {
    const QString path = dir_.filePath(QStringLiteral("in%1.wav").arg(++count_));
    TWavRecordingFile file;
    EXPECT_EQ(file.Create(path, format), "");
    const QByteArray audio(64, '\0');
    EXPECT_TRUE(file.Append(reinterpret_cast<const std::uint8_t*>(audio.constData()), 64));
    file.Close();
    return path;
  }

  QTemporaryDir dir_;
  int count_ = 0;
  std::vector<std::int16_t> samples_;
  QString error_;
};

// The detector works on one format only; the message says which format the file has.
TEST_F(PcmWavTest, RefusesOtherFormatsWithAMessage) {
  const struct {
    TWaveFormat format;
    const char* message;
  } cases[] = {
      {TWaveFormat::Pcm(8000, 16, 2), "2 channel(s)"},
      {TWaveFormat::Pcm(44100, 16, 1), "44100 samples per second"},
      {TWaveFormat::Pcm(8000, 8, 1), "8 bits"},
  };
  for (const auto& c : cases) {
    const QString path = Recording(c.format);
    EXPECT_FALSE(ReadPcmWav(path, samples_, error_)) << c.message;
    EXPECT_TRUE(error_.startsWith(path)) << error_.toStdString();
    EXPECT_TRUE(error_.contains(c.message)) << error_.toStdString();
  }
  const QString text = dir_.filePath("text.wav");
  QFile file(text);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a wave file at all");
  file.close();
  EXPECT_FALSE(ReadPcmWav(text, samples_, error_));
  EXPECT_EQ(error_, text + " is not a PCM WAV file");
}

TEST_F(PcmWavTest, WrittenFilesReadBack) {
  const QString path = dir_.filePath("out.wav");
  ASSERT_TRUE(WritePcmWav(path, kSamples, error_)) << error_.toStdString();
  ASSERT_TRUE(ReadPcmWav(path, samples_, error_)) << error_.toStdString();
  EXPECT_EQ(samples_, kSamples);
  EXPECT_FALSE(WritePcmWav(dir_.filePath("no/such/folder/out.wav"), kSamples, error_));
  EXPECT_FALSE(error_.isEmpty());
}

}  // namespace
}  // namespace tarvok
