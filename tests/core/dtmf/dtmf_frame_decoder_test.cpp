// Round trips through the frame decoder: keys are synthesised, fed in the station's 2048-sample
// blocks and decoded, and what comes out is compared with what went in.
#include "core/dtmf/dtmf_frame_decoder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

#include "core/dtmf/dtmf_detector.h"

namespace tarvok {
namespace {

constexpr int kRate = TDtmfFrameDecoder::kSampleRate;

struct TPress {
  double Level = -12;  // dBFS of each tone
  double Offset = 0;   // both tones moved by this share of their frequency
  double Twist = 0;    // dB of the high tone above the low tone
  int DropoutAt = -1;  // ms into the tone where 10 ms of silence cut it
};

class TAudio {
 public:
  TAudio& Key(char key, int ms, const TPress& press = {}) {
    const auto index =
        static_cast<int>(std::strchr(TDtmfDetector::kKeys, key) - TDtmfDetector::kKeys);
    const double low = TDtmfDetector::kTones[1][index / 4] * (1 + press.Offset);
    const double high = TDtmfDetector::kTones[0][index % 4] * (1 + press.Offset);
    const double amplitude = 32767 * std::pow(10.0, press.Level / 20);
    const double highAmplitude = amplitude * std::pow(10.0, press.Twist / 20);
    const int count = ms * kRate / 1000;
    for (int n = 0; n < count; ++n) {
      const bool dropped = press.DropoutAt >= 0 && n >= press.DropoutAt * kRate / 1000 &&
                           n < (press.DropoutAt + 10) * kRate / 1000;
      const double t = 2 * std::numbers::pi * n / kRate;
      const double value = amplitude * std::sin(low * t) + highAmplitude * std::sin(high * t);
      samples_.push_back(dropped ? 0 : static_cast<std::int32_t>(std::lround(value)));
    }
    return *this;
  }
  TAudio& Silence(int ms) {
    samples_.insert(samples_.end(), static_cast<std::size_t>(ms * kRate / 1000), 0);
    return *this;
  }
  TAudio& Samples(std::size_t count) {
    samples_.resize(samples_.size() + count);
    return *this;
  }
  const std::vector<std::int32_t>& Data() const { return samples_; }

 private:
  std::vector<std::int32_t> samples_;
};

// Fed in whole blocks, the last one padded with silence, as the station does.
std::vector<TDtmfFrameDecoder::TKey> DecodeKeys(std::vector<std::int32_t> samples) {
  constexpr std::size_t kBlock = TDtmfDetector::kBlockSize;
  samples.resize((samples.size() / kBlock + 2) * kBlock);
  TDtmfFrameDecoder decoder;
  decoder.SetLevel(10);
  std::vector<TDtmfFrameDecoder::TKey> keys;
  for (std::size_t start = 0; start < samples.size(); start += kBlock)
    decoder.Process(std::span(samples).subspan(start, kBlock), keys);
  return keys;
}

std::string Decode(const TAudio& audio) {
  std::string text;
  for (const TDtmfFrameDecoder::TKey& key : DecodeKeys(audio.Data()))
    text += key.Key;
  return text;
}

std::string DecodePress(const TPress& press, int ms = 100) {
  return Decode(TAudio().Silence(100).Key('5', ms, press).Silence(100).Key('C', ms, press));
}

TEST(DtmfFrameDecoderTest, EveryKeyOf40MillisecondsIsDecodedAndA23MillisecondBurstIsNot) {
  TAudio keys;
  for (const char* key = TDtmfDetector::kKeys; *key; ++key)
    keys.Key(*key, 40).Silence(40);
  EXPECT_EQ(Decode(keys), TDtmfDetector::kKeys);

  EXPECT_EQ(Decode(TAudio().Key('7', 23).Silence(200).Key('#', 23)), "");
}

TEST(DtmfFrameDecoderTest, FrequencyOffsetsOf1Point5PercentAreDecodedAnd3Point5PercentAreNot) {
  EXPECT_EQ(DecodePress({.Offset = 0.015}), "5C");
  EXPECT_EQ(DecodePress({.Offset = -0.015}), "5C");
  EXPECT_EQ(DecodePress({.Offset = 0.035}), "");
  EXPECT_EQ(DecodePress({.Offset = -0.035}), "");
}

TEST(DtmfFrameDecoderTest, TwistFrom8DecibelsBelowTo4AboveIsDecodedAndBeyondIsNot) {
  EXPECT_EQ(DecodePress({.Twist = 4}), "5C");
  EXPECT_EQ(DecodePress({.Twist = -8}), "5C");
  EXPECT_EQ(DecodePress({.Twist = 8}), "");
  EXPECT_EQ(DecodePress({.Twist = -14}), "");
}

TEST(DtmfFrameDecoderTest, LoudAndQuietKeysAreDecodedWithTheDefaultLevel) {
  EXPECT_EQ(DecodePress({.Level = -9}), "5C");  // the pair peaks at -3 dBFS
  EXPECT_EQ(DecodePress({.Level = -40}), "5C");
}

TEST(DtmfFrameDecoderTest, ATonesLevelIsMeasuredOnTheSpectrumsScale) {
  // Each -40 dBFS tone reaches about 38.7 on the spectrum's scale.
  const std::vector<std::int32_t> audio = TAudio().Key('8', 100, {.Level = -40}).Data();
  for (const auto& [level, expected] : {std::pair{38, 1u}, {39, 0u}}) {
    TDtmfFrameDecoder decoder;
    decoder.SetLevel(level);
    std::vector<TDtmfFrameDecoder::TKey> keys;
    std::vector<std::int32_t> padded = audio;
    padded.resize(4096);
    decoder.Process(padded, keys);
    EXPECT_EQ(keys.size(), expected) << "level " << level;
  }
}

TEST(DtmfFrameDecoderTest, AKeyIsReportedOncePerPress) {
  // Cut by a 10 ms dropout, held over several blocks, or across a block boundary: one press.
  EXPECT_EQ(Decode(TAudio().Key('3', 60, {.DropoutAt = 25})), "3");
  EXPECT_EQ(Decode(TAudio().Key('3', 120, {.DropoutAt = 50}).Silence(40).Key('3', 40)), "33");
  EXPECT_EQ(Decode(TAudio().Key('9', 1200)), "9");
  EXPECT_EQ(Decode(TAudio().Key('0', 100).Silence(40).Key('0', 100).Key('*', 100)), "00*");

  const std::vector<TDtmfFrameDecoder::TKey> keys =
      DecodeKeys(TAudio().Samples(2048 - 160).Key('A', 40).Data());
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].Key, 'A');
  EXPECT_NEAR(static_cast<double>(keys[0].StartSample), 2048 - 160, 40);
}

// Excerpts of the benchmark's talk-off audio, 16-bit little-endian at 8000 samples per second.
std::vector<std::int32_t> ReadExcerpt(const QString& name) {
  QFile file(QStringLiteral(TARVOK_DTMF_TEST_DATA "/") + name);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
  const QByteArray bytes = file.readAll();
  std::vector<std::int32_t> samples(static_cast<std::size_t>(bytes.size() / 2));
  for (std::size_t n = 0; n < samples.size(); ++n)
    samples[n] = qFromLittleEndian<qint16>(bytes.constData() + 2 * n);
  return samples;
}

// Raised voices on prolonged vowels, and two sine glides crossing the DTMF band together.
TEST(DtmfFrameDecoderTest, SpeechAndMusicGiveNoKey) {
  for (const QString& name : {QStringLiteral("speech.raw"), QStringLiteral("music.raw"),
                              QStringLiteral("vowels.raw"), QStringLiteral("glides.raw")}) {
    const std::vector<std::int32_t> excerpt = ReadExcerpt(name);
    EXPECT_GT(excerpt.size(), 2u * kRate) << name.toStdString();
    EXPECT_TRUE(DecodeKeys(excerpt).empty()) << name.toStdString();
  }
}

// Keys 2.5 % low, then 2.5 % high, between the accept and reject limits: each is decoded once or
// not at all, never as another key.
TEST(DtmfFrameDecoderTest, KeysNearTheFrequencyLimitAreRightOrMissing) {
  const std::string pressed = "08B20286#2";
  std::string decoded;
  for (const TDtmfFrameDecoder::TKey& key :
       DecodeKeys(ReadExcerpt(QStringLiteral("offset-2.5.raw"))))
    decoded += key.Key;
  std::size_t next = 0;
  for (const char key : decoded) {
    next = pressed.find(key, next);
    ASSERT_NE(next, std::string::npos) << decoded;
    ++next;
  }
}

}  // namespace
}  // namespace tarvok
