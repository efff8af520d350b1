// The virtual sound card: scenario files, meters and the poller's flags driven by a scenario, the
// volumes, and capture of the receiver in 4096-byte blocks.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>

#include "core/audio/level_poller.h"
#include "core/audio/sound_card.h"
#include "core/common/level_conversion.h"
#include "platform/virtual/scenario.h"
#include "platform/virtual/virtual_sound_backend.h"

namespace tarvok {
namespace {

QByteArray WavFile(int rate, int channels, int bits, const QByteArray& data) {
  QByteArray b("RIFF\0\0\0\0WAVEfmt ", 16);
  auto u32 = [&](std::uint32_t v) {
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
  };
  auto u16 = [&](std::uint16_t v) {
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
  };
  u32(16);
  u16(1);
  u16(static_cast<std::uint16_t>(channels));
  u32(static_cast<std::uint32_t>(rate));
  u32(static_cast<std::uint32_t>(rate * channels * bits / 8));
  u16(static_cast<std::uint16_t>(channels * bits / 8));
  u16(static_cast<std::uint16_t>(bits));
  b.append("data", 4);
  u32(static_cast<std::uint32_t>(data.size()));
  return b + data;
}

TScenario Parse(const QString& text, const QString& folder = QString()) {
  TScenario scenario;
  QString error;
  EXPECT_TRUE(TScenario::Parse(text, folder, scenario, error)) << error.toStdString();
  return scenario;
}

QString ParseError(const QString& text) {
  TScenario scenario;
  QString error;
  EXPECT_FALSE(TScenario::Parse(text, QString(), scenario, error));
  return error;
}

std::vector<std::int16_t> Render(const TScenario& s, TScenarioLine line, std::int64_t from,
                                 std::size_t count) {
  std::vector<std::int16_t> out(count);
  s.Render(line, from, out);
  return out;
}

int Peak(const std::vector<std::int16_t>& v) {
  int peak = 0;
  for (const std::int16_t s : v)
    peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

TEST(ScenarioTest, InvalidLinesAreRejectedWithTheirLineNumber) {
  EXPECT_EQ(ParseError("0 rx silence\n\n1 rx tone 5000 -10"),
            "line 3: a frequency above 0 and below 4000 Hz is expected");
  EXPECT_EQ(ParseError("0 rx noise 3"), "line 1: a level in dBFS (0 or less) is expected");
  EXPECT_EQ(ParseError("x rx silence"), "line 1: a time in seconds is expected, not \"x\"");
  EXPECT_EQ(ParseError("0 tx silence"), "line 1: the line is rx (receiver) or pc (PC audio)");
  EXPECT_EQ(ParseError("0 rx dtmf 12E"), "line 1: DTMF keys are 0 to 9, A to D, * and #");
  EXPECT_EQ(ParseError("0 rx whistle"),
            "line 1: unknown signal or wrong number of arguments: whistle");
  EXPECT_TRUE(ParseError("0 rx wav /no/such.wav").startsWith("line 1: cannot read WAV file"));
  // Times past the card's reach once overflowed: "never" played at once, a repeat played once.
  for (const char* huge : {"0 rx silence\n1e300 rx silence", "0 rx silence\n0 rx dtmf 1 1e300",
                           "0 rx silence\n0 rx dtmf 1 100 1e300", "0 rx silence\nrepeat 1e300"}) {
    EXPECT_TRUE(ParseError(huge).startsWith("line 2: ")) << huge;
    EXPECT_TRUE(ParseError(huge).contains("past what the card can reach")) << huge;
  }
  EXPECT_EQ(ParseError("repeat 0.00001"), "line 1: repeat needs a length in seconds");
  QTemporaryDir dir;
  TScenario scenario;
  QString error;
  EXPECT_FALSE(TScenario::Load(dir.filePath("missing.txt"), scenario, error));
  EXPECT_TRUE(error.startsWith("Cannot read the scenario file")) << error.toStdString();
}

TEST(ScenarioTest, TonesNoiseAndDtmfHaveTheirLevelsAndTimes) {
  const TScenario s = Parse(
      "# comment\n0.5 rx tone 1000 -10\n  # indented comment\n1 rx silence\n0 pc noise -20\n"
      "2 rx dtmf 5# 50 25 -6\n");
  EXPECT_EQ(Peak(Render(s, TScenarioLine::Receiver, 0, 4000)), 0);
  EXPECT_EQ(Peak(Render(s, TScenarioLine::Receiver, 4000, 4000)), 10362);  // -10 dBFS
  EXPECT_EQ(Peak(Render(s, TScenarioLine::Receiver, 8000, 8000)), 0);
  const int noise = Peak(Render(s, TScenarioLine::Pc, 0, 8000));
  EXPECT_GT(noise, 3000);
  EXPECT_LE(noise, 3277);
  // Two keys of 400 samples with 200 samples of pause after each.
  const auto dtmf = Render(s, TScenarioLine::Receiver, 16000, 1400);
  EXPECT_GT(Peak({dtmf.begin(), dtmf.begin() + 400}), 10000);
  EXPECT_EQ(Peak({dtmf.begin() + 400, dtmf.begin() + 600}), 0);
  EXPECT_GT(Peak({dtmf.begin() + 600, dtmf.begin() + 1000}), 10000);
  EXPECT_EQ(Peak({dtmf.begin() + 1000, dtmf.end()}), 0);
  // The same samples however the rendering is cut.
  auto whole = Render(s, TScenarioLine::Pc, 100, 300);
  auto part = Render(s, TScenarioLine::Pc, 250, 150);
  EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin() + 150));
}

TEST(ScenarioTest, AQuietStretchEndsWhereEitherLineSoundsAgainAcrossARepeat) {
  const TScenario s =
      Parse("0.5 rx tone 1000 -10\n1 rx silence\n2 pc noise -20\n3 pc silence\nrepeat 4\n");
  EXPECT_EQ(s.QuietUntil(0), 4000);
  EXPECT_EQ(s.QuietUntil(4100), 4100) << "the tone sounds";
  EXPECT_EQ(s.QuietUntil(8000), 16000) << "the noise on the PC line";
  EXPECT_EQ(s.QuietUntil(30000), 32000 + 4000) << "the next round's tone";
  EXPECT_EQ(Parse("0 rx silence\n").QuietUntil(123), std::numeric_limits<std::int64_t>::max());
}

TEST(ScenarioTest, AWavFileIsPlayedOnceAtTheCardsRateAndRepeatStartsOver) {
  QTemporaryDir dir;
  QByteArray data;  // 8-bit stereo at 16000 Hz; left 64 and right 0 average to 8192 in 16 bits
  for (int i = 0; i < 8; ++i)
    data.append(static_cast<char>(192)).append(static_cast<char>(128));
  QFile file(dir.filePath("clip.wav"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(WavFile(16000, 2, 8, data));
  file.close();
  const TScenario s = Parse("0 rx silence\n0.001 rx wav clip.wav\nrepeat 0.002\n", dir.path());
  const auto out = Render(s, TScenarioLine::Receiver, 0, 32);
  EXPECT_EQ(std::vector<std::int16_t>(out.begin() + 7, out.begin() + 13),
            (std::vector<std::int16_t>{0, 8192, 8192, 8192, 8192, 0}));
  EXPECT_EQ(std::vector<std::int16_t>(out.begin() + 16, out.end()),
            std::vector<std::int16_t>(out.begin(), out.begin() + 16));
}

class VirtualCardTest : public ::testing::Test {
 protected:
  explicit VirtualCardTest(const QString& scenario =
                               "0 rx silence\n0.5 rx tone 1000 -10\n1.5 rx silence\n"
                               "0 pc tone 440 -20\n") {
    auto backend = std::make_unique<TVirtualSoundBackend>(Parse(scenario));
    backend_ = backend.get();
    card_ = std::make_unique<TSoundCard>(std::move(backend));
    poller_ = std::make_unique<TLevelPoller>(*card_);
  }

  int Bind(const QString& line, std::uint32_t type, bool active) {
    const int lineIndex = static_cast<int>(card_->LineNames().indexOf(line));
    const int object = card_->AddMixerControl();
    EXPECT_TRUE(
        card_->BindMixerControl(object, lineIndex, card_->FindControl(lineIndex, type), active));
    return object;
  }
  // Steps the card and the poller by 5 ms until the flag is as wanted; the time reached in ms.
  int StepUntil(bool present, int limitMs) {
    for (int ms = static_cast<int>(backend_->Position() / 8); ms < limitMs;) {
      backend_->Advance(40);
      poller_->Poll();
      ms += 5;
      if (poller_->VoxPresent() == present)
        return ms;
    }
    return -1;
  }

  TVirtualSoundBackend* backend_ = nullptr;
  std::unique_ptr<TSoundCard> card_;
  std::unique_ptr<TLevelPoller> poller_;
};

TEST_F(VirtualCardTest, AReceiverToneTurnsTheFlagOnAfterTheOnDelayAndSilenceOff) {
  const int meter = Bind("Line In", kControlPeakMeter, true);
  const int pcMeter = Bind("Wave Out", kControlPeakMeter, true);
  card_->MixerControls().Items(meter).SetAveragingMode(1);
  poller_->SetVoxIndex(meter);
  poller_->SetOtherIndex(pcMeter);
  poller_->SetVoxThreshold(DecibelsToLevel(61));
  poller_->SetVoxOnDelay(10);
  poller_->SetVoxOffDelay(500);
  poller_->Reset();
  // The tone starts at 500 ms; its first 10 ms frame reaches the meter at 510 ms, two polls later
  // the flag is on.
  EXPECT_EQ(StepUntil(true, 3000), 515);
  EXPECT_EQ(card_->GetControlValue(meter), 10362u);
  EXPECT_EQ(card_->GetControlValue(pcMeter), 3277u);
  // Silence from 1500 ms reaches the meter at 1510 ms; the smoothed level halves each poll and is
  // below the threshold from the fourth; the hundredth poll at or below it turns the flag off.
  EXPECT_EQ(StepUntil(false, 3000), 2020);
}

TEST_F(VirtualCardTest, VolumesScaleTheMetersAfterThem) {
  const int volume = Bind("Line In", kControlVolume, false);
  const int lineMeter = Bind("Line In", kControlPeakMeter, true);
  const int recordMeter = Bind("Recording Control", kControlPeakMeter, true);
  const int recordVolume = Bind("Recording Control", kControlVolume, false);
  EXPECT_EQ(card_->GetControlValue(volume), 65535u);
  card_->SetControlValue(volume, 32767);
  card_->SetControlValue(recordVolume, 16383);
  backend_->Advance(8000);
  EXPECT_EQ(card_->GetControlValue(lineMeter), 5180u);
  EXPECT_EQ(card_->GetControlValue(recordMeter), 1294u);
}

TEST_F(VirtualCardTest, CaptureDeliversTheReceiverIn4096ByteBlocks) {
  std::vector<TWaveMessage> messages;
  std::vector<std::int16_t> captured;
  card_->SetOnWaveData([&](TWaveMessage m, std::span<const std::byte> block) {
    messages.push_back(m);
    EXPECT_TRUE(m != TWaveMessage::Data || block.size() == 4096);
    const auto* s = reinterpret_cast<const std::int16_t*>(block.data());
    captured.insert(captured.end(), s, s + block.size() / 2);
  });
  backend_->Advance(3000);
  ASSERT_TRUE(card_->StartCapture());
  backend_->Advance(8000);
  card_->StopCapture();
  backend_->Advance(8000);
  using M = TWaveMessage;
  EXPECT_EQ(messages, (std::vector<M>{M::Open, M::Data, M::Data, M::Data, M::Close}));
  TScenario reference = Parse("0 rx silence\n0.5 rx tone 1000 -10\n1.5 rx silence\n");
  EXPECT_EQ(captured, Render(reference, TScenarioLine::Receiver, 3000, 3 * 2048));
}

TEST(VirtualCardRealTimeTest, ASleepingPollerKeepsItsDelaysInCardTime) {
  auto backend = std::make_unique<TVirtualSoundBackend>(
      Parse("0 rx silence\n0.5 rx tone 1000 -10\n1 rx silence\n"));
  TVirtualSoundBackend& card = *backend;
  TSoundCard soundCard(std::move(backend));
  TLevelPoller poller(soundCard);
  const int line = static_cast<int>(soundCard.LineNames().indexOf("Line In"));
  const int meter = soundCard.AddMixerControl();
  ASSERT_TRUE(soundCard.BindMixerControl(meter, line,
                                         soundCard.FindControl(line, kControlPeakMeter), true));
  soundCard.MixerControls().Items(meter).SetAveragingMode(1);
  poller.SetVoxIndex(meter);
  poller.SetVoxThreshold(DecibelsToLevel(61));
  poller.SetVoxOnDelay(100);
  poller.SetVoxOffDelay(300);
  poller.Reset();
  using Clock = std::chrono::steady_clock;
  std::mutex mutex;
  std::vector<std::pair<bool, Clock::time_point>> flips;
  poller.SetOnFlip([&] {
    const std::lock_guard lock(mutex);
    flips.emplace_back(poller.VoxPresent(), Clock::now());
  });
  const auto start = Clock::now();
  poller.Start();
  card.StartRealTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  poller.Terminate();
  const std::lock_guard lock(mutex);
  ASSERT_EQ(flips.size(), 2u);
  const auto ms = [&](int i) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(flips[i].second - start).count();
  };
  EXPECT_TRUE(flips[0].first);
  EXPECT_GE(ms(0), 600) << "never before the tone's start and the on-delay";
  EXPECT_FALSE(flips[1].first);
  EXPECT_GE(ms(1), 1300) << "never before the tone's end and the off-delay";
}

}  // namespace
}  // namespace tarvok
