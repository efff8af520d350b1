// Recording and playback on the virtual card: a recorded scenario tone comes out sample for sample
// on the transmitter WAV and is heard on "Wave Out"; the keying log beside it; the conversions
// between the card's audio and other PCM formats.
#include <gtest/gtest.h>

#include <QDir>
#include <cmath>

#include "core/audio/record_thread.h"
#include "core/audio/wav_reader.h"
#include "platform/keying_tap.h"
#include "platform/virtual/virtual_sound_backend.h"
#include "support/application.h"
#include "support/config_fixture.h"
#include "support/recorded_samples.h"

namespace tarvok {
namespace {

constexpr std::uint32_t kWaveOutMeter = 2 * 16 + 1;

std::vector<std::int16_t> Render(const QString& scenario, std::int64_t from, std::size_t count) {
  TScenario s;
  QString error;
  EXPECT_TRUE(TScenario::Parse(scenario, {}, s, error));
  std::vector<std::int16_t> out(count);
  s.Render(TScenarioLine::Receiver, from, out);
  return out;
}

class VirtualRecordTest : public ConfigTest {
 protected:
  static constexpr const char* kScenario = "0 rx silence\n0.5 rx tone 1000 -10\n1.5 rx silence\n";

  VirtualRecordTest() {
    EnsureApplication();
    TScenario scenario;
    QString error;
    EXPECT_TRUE(TScenario::Parse(kScenario, {}, scenario, error));
    transmitter_ = std::make_shared<TTransmitterRecorder>(dir_.path(), TScenario::kSampleRate);
    backend_ = std::make_unique<TVirtualSoundBackend>(std::move(scenario), transmitter_);
    thread_ = std::make_unique<TRecordThread>(*backend_, messages_, Config(), clock_);
    // The format the station records in outside Simplex Repeater mode.
    thread_->Recorder().SetRecordingFormat(1, 1, 8000, 16, 4096);
  }

  std::shared_ptr<TTransmitterRecorder> transmitter_;
  std::unique_ptr<TVirtualSoundBackend> backend_;
  std::unique_ptr<TRecordThread> thread_;
};

TEST_F(VirtualRecordTest, ARecordedToneIsPlayedBackSampleForSampleToTheTransmitter) {
  Config().SetLogEnabled(true);
  const TControlCell* waveOut = backend_->AcquireControl(kWaveOutMeter);
  backend_->Advance(4000);
  ASSERT_TRUE(thread_->StartRecord(true));
  backend_->Advance(10000);  // the tone and a quarter of a second after it
  ASSERT_TRUE(thread_->Repeat(0));
  ASSERT_EQ(thread_->State(), TRecorderControl::TState::Playing);
  const std::vector<std::int16_t> recorded = RecordedSamples(thread_->Recorder().LastRecording());
  EXPECT_EQ(recorded, Render(kScenario, 4000, 10000));

  backend_->Advance(4400);  // half a second into the tone
  EXPECT_EQ(waveOut->Value.load(), 10362u);
  backend_->Advance(6000);
  RunQueuedCalls();
  EXPECT_EQ(thread_->State(), TRecorderControl::TState::Idle);
  backend_->Advance(80);
  const std::vector<std::int16_t> sent = RecordedSamples(transmitter_->WavPath());
  ASSERT_GE(sent.size(), recorded.size());
  EXPECT_TRUE(std::equal(recorded.begin(), recorded.end(), sent.begin()));
  EXPECT_TRUE(std::all_of(sent.begin() + static_cast<std::ptrdiff_t>(recorded.size()), sent.end(),
                          [](std::int16_t s) { return s == 0; }));
  EXPECT_EQ(waveOut->Value.load(), 0u);
}

TEST_F(VirtualRecordTest, CWAt44100IsHeardAtTheCardsRate) {
  thread_->Recorder().SetElementLength(100);
  thread_->Recorder().SetVolume(16384);
  thread_->SetCWText("xx");
  ASSERT_TRUE(thread_->Play(5));
  backend_->Advance(2400);
  RunQueuedCalls();
  EXPECT_EQ(thread_->State(), TRecorderControl::TState::Idle);
  backend_->Advance(80);
  const std::vector<std::int16_t> sent = RecordedSamples(transmitter_->WavPath());
  ASSERT_GE(sent.size(), 1600u);
  int crossings = 0;
  int peak = 0;
  for (std::size_t i = 1; i < 1600; ++i) {
    crossings += (sent[i - 1] < 0) != (sent[i] < 0);
    peak = std::max(peak, std::abs(static_cast<int>(sent[i])));
  }
  EXPECT_NEAR(crossings, 400, 2);  // 1000 Hz for 0.2 s
  EXPECT_NEAR(peak, 16384, 200);
}

TEST_F(VirtualRecordTest, RecordingsIn8BitTakeTheReceiverAsUnsignedSamples) {
  thread_->Recorder().SetRecordingFormat(1, 2, 16000, 8, 0);
  Config().SetLogEnabled(true);
  backend_->Advance(4000);
  ASSERT_TRUE(thread_->StartRecord(true));
  backend_->Advance(800);
  ASSERT_TRUE(thread_->StopRecord());
  QFile file(thread_->Recorder().LastRecording());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray data = file.readAll().mid(58);
  ASSERT_EQ(data.size(), 800 * 2 * 2 - 2);  // the last frame needs a sample that came later
  const auto tone = Render(kScenario, 4000, 800);
  for (int i = 0; i < 100; i += 2) {
    const int expected = (tone[static_cast<std::size_t>(i / 2)] >> 8) + 128;
    EXPECT_EQ(static_cast<std::uint8_t>(data[2 * i]), expected) << i;
    EXPECT_EQ(data[2 * i], data[2 * i + 1]);
  }
}

TEST(TransmitterRecorderTest, KeyingIsLoggedWithTheCardTimeAndThePlaceInTheWavFile) {
  QTemporaryDir dir;
  TScenario scenario;
  QString error;
  ASSERT_TRUE(TScenario::Parse("0 pc tone 500 -20\n", {}, scenario, error));
  auto transmitter = std::make_shared<TTransmitterRecorder>(dir.path(), TScenario::kSampleRate);
  TVirtualSoundBackend card(std::move(scenario), transmitter);
  TFakeKeyingPort serial;
  TKeyingTap tap(serial, [transmitter](bool keyed) { transmitter->SetKeyed(keyed); });

  card.Advance(8000);
  ASSERT_TRUE(tap.Open("virtual"));
  tap.SetLine(TModemLine::Rts, true);
  card.Advance(4000);
  tap.SetLine(TModemLine::Rts, false);
  card.Advance(4000);
  tap.SetLine(TModemLine::Rts, true);
  card.Advance(800);
  tap.Close();
  card.Advance(80);
  EXPECT_TRUE(serial.Log.isEmpty());

  QFile log(transmitter->LogPath());
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(log.readAll()),
            "1.000 s: keyed (transmitter.wav at 0.000 s)\n"
            "1.500 s: released (transmitter.wav at 0.500 s)\n"
            "2.000 s: keyed (transmitter.wav at 0.500 s)\n"
            "2.100 s: released (transmitter.wav at 0.600 s)\n");
  // While keyed the transmitter carries the PC audio.
  const std::vector<std::int16_t> sent = RecordedSamples(transmitter->WavPath());
  EXPECT_EQ(sent.size(), 4800u);
  EXPECT_EQ(*std::max_element(sent.begin(), sent.end()), 3277);

  // A real port is keyed through the tap.
  ASSERT_TRUE(tap.Open("/dev/ttyS9"));
  tap.SetLine(TModemLine::Dtr, true);
  EXPECT_TRUE(serial.Dtr);
}

}  // namespace
}  // namespace tarvok
