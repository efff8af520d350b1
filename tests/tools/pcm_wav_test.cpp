#include "pcm_wav.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

namespace tarvok {
namespace {

QByteArray U16(std::uint16_t value) {
  char raw[2];
  qToLittleEndian(value, raw);
  return QByteArray(raw, 2);
}

QByteArray U32(std::uint32_t value) {
  char raw[4];
  qToLittleEndian(value, raw);
  return QByteArray(raw, 4);
}

QByteArray Chunk(const char* id, const QByteArray& data) {
  QByteArray chunk = QByteArray(id) + U32(static_cast<std::uint32_t>(data.size())) + data;
  if (data.size() & 1)
    chunk.append('\0');
  return chunk;
}

QByteArray Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                  std::uint16_t bits) {
  const auto blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  return U16(tag) + U16(channels) + U32(rate) + U32(rate * blockAlign) + U16(blockAlign) +
         U16(bits);
}

QByteArray Riff(const QByteArray& chunks) {
  return "RIFF" + U32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

const QByteArray kAudio = U16(1) + U16(0xFFFF) + U16(0x8000) + U16(0x7FFF);
const std::vector<std::int16_t> kSamples{1, -1, -32768, 32767};

class PcmWavTest : public ::testing::Test {
 protected:
  QString Write(const QByteArray& content) {
    const QString path = dir_.filePath(QStringLiteral("in%1.wav").arg(++count_));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
  }

  QTemporaryDir dir_;
  int count_ = 0;
  std::vector<std::int16_t> samples_;
  QString error_;
};

// The station's own recordings carry a "fact" chunk; other programs add odd-sized chunks.
TEST_F(PcmWavTest, ReadsTheAudioPastOtherChunks) {
  const QString path = Write(Riff(Chunk("fmt ", Format(1, 1, 8000, 16)) + Chunk("fact", U32(4)) +
                                  Chunk("LIST", "abc") + Chunk("data", kAudio)));
  ASSERT_TRUE(ReadPcmWav(path, samples_, error_)) << error_.toStdString();
  EXPECT_EQ(samples_, kSamples);
}

TEST_F(PcmWavTest, RefusesEverythingElseWithAMessage) {
  const struct {
    QByteArray content;
    const char* message;
  } cases[] = {
      {"not a wave file at all", "is not a PCM WAV file"},
      {Riff(Chunk("fmt ", Format(1, 1, 8000, 16))), "is not a PCM WAV file"},
      {Riff(Chunk("fmt ", Format(1, 2, 8000, 16)) + Chunk("data", kAudio)), "2 channel(s)"},
      {Riff(Chunk("fmt ", Format(1, 1, 44100, 16)) + Chunk("data", kAudio)),
       "44100 samples per second"},
      {Riff(Chunk("fmt ", Format(1, 1, 8000, 8)) + Chunk("data", kAudio)), "8 bits"},
      {Riff(Chunk("fmt ", Format(3, 1, 8000, 32)) + Chunk("data", kAudio)),
       "is not a PCM WAV file"},
  };
  for (const auto& c : cases) {
    const QString path = Write(c.content);
    EXPECT_FALSE(ReadPcmWav(path, samples_, error_)) << c.message;
    EXPECT_TRUE(error_.startsWith(path)) << error_.toStdString();
    EXPECT_TRUE(error_.contains(c.message)) << error_.toStdString();
  }
  EXPECT_FALSE(ReadPcmWav(dir_.filePath("missing.wav"), samples_, error_));
  EXPECT_TRUE(error_.startsWith("Cannot open")) << error_.toStdString();
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
