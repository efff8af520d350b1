#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "core/audio/wav_reader.h"
#include "core/audio/wav_recording_file.h"

namespace tarvok {
namespace {

QByteArray Le16(std::uint16_t v) {
  QByteArray b(2, '\0');
  qToLittleEndian(v, b.data());
  return b;
}
QByteArray Le32(std::uint32_t v) {
  QByteArray b(4, '\0');
  qToLittleEndian(v, b.data());
  return b;
}
QByteArray Chunk(const QByteArray& id, const QByteArray& body) {
  return id + Le32(static_cast<std::uint32_t>(body.size())) + body +
         (body.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}
QByteArray Fmt16(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                 std::uint16_t bits) {
  const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
  return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}
QByteArray Riff(const QByteArray& chunks) {
  return "RIFF" + Le32(static_cast<std::uint32_t>(chunks.size() + 4)) + "WAVE" + chunks;
}

class WavFileTest : public ::testing::Test {
 protected:
  QString Write(const QByteArray& content) {
    const QString path = dir_.filePath(QString("f%1.wav").arg(++count_));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
  }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static QByteArray Audio(int bytes) {
    QByteArray audio(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
      audio[i] = static_cast<char>(i * 7);
    return audio;
  }

  QTemporaryDir dir_;
  int count_ = 0;
  const TWaveFormat format_ = TWaveFormat::Pcm(8000, 8, 1);
};

TEST_F(WavFileTest, RecordingLayoutIsByteExactWithThePadByte) {
  const QString path = dir_.filePath("rec.wav");
  TWavRecordingFile file;
  ASSERT_EQ(file.Create(path, format_), "");
  const QByteArray audio = Audio(1001);
  ASSERT_TRUE(file.Append(reinterpret_cast<const std::uint8_t*>(audio.constData()), 600));
  ASSERT_TRUE(file.Append(reinterpret_cast<const std::uint8_t*>(audio.constData()) + 600, 401));
  file.Close();
  const QByteArray expected = "RIFF" + Le32(1052) + "WAVE" + "fmt " + Le32(18) +
                              Fmt16(1, 1, 8000, 8) + Le16(0) + "fact" + Le32(4) + Le32(0) + "data" +
                              Le32(1001) + audio + QByteArray(1, '\0');
  EXPECT_EQ(Read(path), expected);
  EXPECT_EQ(Read(path).size(), 1060);
}

TEST_F(WavFileTest, PlaybackFindsTheAudioWhateverHeaderPrecedesIt) {
  const QByteArray audio = Audio(100);
  const QString ordinary = Write(Riff(Chunk("fmt ", Fmt16(1, 1, 8000, 16)) + Chunk("data", audio)));
  TWavLayout layout = ReadWavLayout(ordinary);
  ASSERT_TRUE(layout.IsValid());
  EXPECT_EQ(layout.DataOffset, 44);
  EXPECT_EQ(layout.DataBytes, 100);
  EXPECT_EQ(layout.Format, TWaveFormat::Pcm(8000, 16, 1));

  const QString withList =
      Write(Riff(Chunk("fmt ", Fmt16(1, 2, 44100, 16)) + Chunk("LIST", "INFOISFT\x05\0\0\0tarvo") +
                 Chunk("data", audio)));
  layout = ReadWavLayout(withList);
  ASSERT_TRUE(layout.IsValid());
  EXPECT_EQ(Read(withList).mid(layout.DataOffset, layout.DataBytes), audio);

  const QByteArray pcmGuid("\x01\0\0\0\0\0\x10\0\x80\0\0\xaa\0\x38\x9b\x71", 16);
  const QByteArray extensible =
      Fmt16(0xFFFE, 1, 48000, 16) + Le16(22) + Le16(16) + Le32(4) + pcmGuid;
  layout = ReadWavLayout(Write(Riff(Chunk("fmt ", extensible) + Chunk("data", audio))));
  ASSERT_TRUE(layout.IsValid());
  EXPECT_EQ(layout.Format, TWaveFormat::Pcm(48000, 16, 1));

  TWavRecordingFile own;
  own.Create(dir_.filePath("own.wav"), format_);
  own.Append(reinterpret_cast<const std::uint8_t*>(audio.constData()), audio.size());
  own.Close();
  layout = ReadWavLayout(dir_.filePath("own.wav"));
  EXPECT_EQ(layout.DataOffset, 58);
  EXPECT_EQ(layout.Format, format_);
}

TEST_F(WavFileTest, ADataSizeBeyondTheEndIsCutToTheBytesThere) {
  const QByteArray audio = Audio(100);
  const QByteArray file =
      Riff(Chunk("fmt ", Fmt16(1, 1, 8000, 8))) + "data" + Le32(0xFFFFFFFF) + audio;
  const TWavLayout layout = ReadWavLayout(Write(file));
  ASSERT_TRUE(layout.IsValid());
  EXPECT_EQ(layout.DataBytes, 100);
}

// Other programs add odd-sized chunks; the tools and the virtual card take any PCM as mono.
TEST_F(WavFileTest, SamplesAreReadPastOtherChunksAsOneChannel) {
  const QByteArray audio = Le16(1) + Le16(0xFFFF) + Le16(0x8000) + Le16(0x7FFF);
  TWavSamples wav =
      ReadWavSamples(Write(Riff(Chunk("fmt ", Fmt16(1, 1, 8000, 16)) + Chunk("fact", Le32(4)) +
                                Chunk("LIST", "abc") + Chunk("data", audio))));
  ASSERT_TRUE(wav.IsValid()) << wav.Error.toStdString();
  EXPECT_EQ(wav.Samples, (std::vector<std::int16_t>{1, -1, -32768, 32767}));

  // Stereo frames are averaged; 8-bit samples are unsigned.
  wav = ReadWavSamples(Write(Riff(Chunk("fmt ", Fmt16(1, 2, 11025, 8)) +
                                  Chunk("data", QByteArray("\x80\x80\xff\x01\xc0\xff", 6)))));
  ASSERT_TRUE(wav.IsValid()) << wav.Error.toStdString();
  EXPECT_EQ(wav.Format, TWaveFormat::Pcm(11025, 8, 2));
  EXPECT_EQ(wav.Samples, (std::vector<std::int16_t>{0, 0, 24448}));

  const QString floatWav =
      Write(Riff(Chunk("fmt ", Fmt16(3, 1, 8000, 32)) + Chunk("data", Audio(8))));
  EXPECT_EQ(ReadWavSamples(floatWav).Error, ReadWavLayout(floatWav).Error);
}

TEST_F(WavFileTest, AnythingButPcmWavIsRefusedWithAClearMessage) {
  const QString floatWav =
      Write(Riff(Chunk("fmt ", Fmt16(3, 1, 8000, 32)) + Chunk("data", Audio(8))));
  EXPECT_EQ(ReadWavLayout(floatWav).Error, floatWav + " is not a PCM WAV file");
  EXPECT_FALSE(ReadWavLayout(Write("ID3 this is an mp3")).IsValid());
  EXPECT_FALSE(ReadWavLayout(Write(Riff(Chunk("data", Audio(8))))).IsValid());
  EXPECT_FALSE(ReadWavLayout(Write(Riff(Chunk("fmt ", Fmt16(1, 1, 8000, 16))))).IsValid());
  EXPECT_FALSE(ReadWavLayout(Write(Riff(Chunk("fmt ", Fmt16(1, 0, 8000, 8))))).IsValid());
  EXPECT_FALSE(ReadWavLayout(Write(Riff(Chunk("fmt ", "short")))).IsValid());
  EXPECT_TRUE(ReadWavLayout(dir_.filePath("missing.wav")).Error.startsWith("Cannot open"));
}

// A rate above 2^31 once sent the rate conversion into an endless loop, and 1 Hz made a 1 MB file
// into 16 GB of samples; both come through the one reader that playback, the virtual card, the
// recordings list and the tool share.
TEST_F(WavFileTest, RatesAndChannelsNoSoundCardPlaysAreRefused) {
  const auto wav = [&](std::uint32_t rate, std::uint16_t channels) {
    return Write(Riff(Chunk("fmt ", Fmt16(1, channels, rate, 8)) + Chunk("data", Audio(64))));
  };
  for (const std::uint32_t rate : {1u, 999u, 384001u, 0x80000001u}) {
    const QString path = wav(rate, 1);
    EXPECT_TRUE(ReadWavLayout(path).Error.contains(QString("at %1 samples per second").arg(rate)))
        << ReadWavLayout(path).Error.toStdString();
    EXPECT_FALSE(ReadWavSamples(path).IsValid()) << rate;
  }
  EXPECT_FALSE(ReadWavLayout(wav(8000, 33)).IsValid());
  for (const std::uint32_t rate : {1000u, 384000u})
    EXPECT_EQ(ReadWavSamples(wav(rate, 32)).Samples.size(), 2u) << rate;
}

}  // namespace
}  // namespace tarvok
