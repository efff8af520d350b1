// The PulseAudio sound card against a private server with null sinks: lines, meters and the
// poller's flag from a tone played with paplay, volumes both ways, capture, and a server that dies
// and comes back.
#include <gtest/gtest.h>

#include <pulse/volume.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>
#include <mutex>

#include "core/audio/level_poller.h"
#include "core/audio/sound_card.h"
#include "core/audio/sound_card_listing.h"
#include "core/common/level_conversion.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "support/application.h"
#include "support/pulse_test_server.h"

namespace tarvok {
namespace {

class PulseSoundBackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  void SetUp() override {
    QString error;
    ASSERT_TRUE(server_.Start(error)) << error.toStdString();
    ASSERT_TRUE(tone_.isValid());
    ASSERT_TRUE(WriteToneWav(tone_.filePath("tone.wav"), 1000, -6, 3.0));
    auto backend = std::make_unique<TPulseSoundBackend>();
    ASSERT_TRUE(backend->WaitUntilReady(10000));
    card_ = std::make_unique<TSoundCard>(std::move(backend));
    QObject::connect(card_.get(), &TSoundCard::Error, [this](const QString& m) { errors_ << m; });
  }

  void TearDown() override {
    poller_.reset();
    card_.reset();
    player_.kill();
    player_.waitForFinished();
  }

  int LineOf(const QString& key) const { return card_->LineIndexOfKey(key); }
  int Bind(const QString& key, std::uint32_t type, bool active) {
    const int object = card_->AddMixerControl();
    EXPECT_TRUE(card_->BindMixerControl(object, LineOf(key), card_->FindControl(LineOf(key), type),
                                        active));
    return object;
  }
  void StartPoller(int voxMeter) {
    poller_ = std::make_unique<TLevelPoller>(*card_);
    poller_->SetVoxIndex(voxMeter);
    poller_->SetVoxThreshold(DecibelsToLevel(61));
    poller_->SetVoxOnDelay(10);
    poller_->SetVoxOffDelay(200);
    poller_->Reset();
    poller_->Start();
  }
  void PlayTone() { server_.Play(player_, "rx", tone_.filePath("tone.wav")); }

  TPulseTestServer server_;
  QTemporaryDir tone_;
  QProcess player_;
  std::unique_ptr<TSoundCard> card_;
  std::unique_ptr<TLevelPoller> poller_;
  QStringList errors_;
};

TEST_F(PulseSoundBackendTest, ListsSinksAsPlaybackAndSourcesAsRecordingLines) {
  const QStringList entries = [this] {
    QStringList e;
    for (int i = 0; i < card_->LineCount(); ++i)
      e << SourceEntryText(*card_, i);
    return e;
  }();
  EXPECT_EQ(entries, (QStringList{"DST:out: Radio RX", "DST:out: Radio TX",
                                  "DST:rec: Recording Control", "src:rec: Receiver input"}));
  EXPECT_EQ(card_->LineKeys(), (QStringList{"rx", "tx", "Recording Control", "receiver"}));
  card_->EnumerateControls(LineOf("rx"));
  EXPECT_EQ(card_->ControlNames(), (QStringList{"Peak Meter", "Volume"}));
  EXPECT_EQ(card_->ControlMaxs().Items(0), 32767);
  EXPECT_TRUE(card_->DeviceName(0).startsWith("pulseaudio")) << card_->DeviceName(0).toStdString();
}

TEST_F(PulseSoundBackendTest, ATonePlayedIntoASinkRaisesItsMeterAndThePollersFlag) {
  const int meter = Bind("rx", kControlPeakMeter, true);
  const int other = Bind("tx", kControlPeakMeter, true);
  StartPoller(meter);
  ASSERT_TRUE(WaitUntil([&] { return card_->MixerControls().Items(meter).Level() == 0; }, 5000));
  PlayTone();
  ASSERT_TRUE(WaitUntil([&] { return poller_->VoxPresent(); }, 10000));
  // -6 dBFS is 16422 on a 32767 meter; the tone passes the sink's resampler, which may overshoot.
  EXPECT_NEAR(20 * std::log10(card_->GetControlValue(meter) / 16422.0), 0.0, 0.5);
  EXPECT_EQ(card_->GetControlValue(other), 0u);
  player_.kill();
  EXPECT_TRUE(WaitUntil([&] { return !poller_->VoxPresent(); }, 10000));
}

TEST_F(PulseSoundBackendTest, VolumesAreWrittenToTheServerAndChangesComeBack) {
  const int volume = Bind("rx", kControlVolume, false);
  const int sourceVolume = Bind("receiver", kControlVolume, false);
  const auto volumeId = card_->MixerControls().Items(volume).Control().Id;
  std::vector<quint32> changes;
  QObject::connect(card_.get(), &TSoundCard::ControlChanged,
                   [&](quint32 id) { changes.push_back(id); });
  EXPECT_EQ(card_->GetControlValue(volume), 65535u);

  card_->SetControlValue(volume, 32768);
  card_->SetControlValue(sourceVolume, 16384);
  const QString expected = QString::number(pa_sw_volume_from_linear(32768.0 / 65535));
  const QString expectedSource = QString::number(pa_sw_volume_from_linear(16384.0 / 65535));
  EXPECT_TRUE(WaitUntil(
      [&] {
        return server_.Run("pactl", {"get-sink-volume", "rx"})
                   .contains(QRegularExpression("front-left: " + expected + " ")) &&
               server_.Run("pactl", {"get-source-volume", "receiver"})
                   .contains(QRegularExpression("front-left: " + expectedSource + " "));
      },
      10000));
  EXPECT_EQ(card_->GetControlValue(volume), 32768u);
  // The station's own write is not reported back to it.
  QCoreApplication::processEvents();
  EXPECT_TRUE(changes.empty());

  server_.Run("pactl", {"set-sink-volume", "rx", "30%"});
  ASSERT_TRUE(WaitUntil([&] { return !changes.empty(); }, 10000));
  EXPECT_EQ(changes.front(), volumeId);
  EXPECT_EQ(card_->GetControlValue(volume),
            static_cast<std::uint32_t>(std::lround(std::pow(0.3, 3) * 65535)));
}

TEST_F(PulseSoundBackendTest, CaptureDelivers4096ByteBlocksOf8000HzMonoAudio) {
  std::mutex mutex;
  std::vector<std::vector<std::int16_t>> blocks;
  int opened = 0;
  card_->SetOnWaveData([&](TWaveMessage message, std::span<const std::byte> block) {
    std::lock_guard lock(mutex);
    opened += message == TWaveMessage::Open;
    if (message == TWaveMessage::Data) {
      const auto* s = reinterpret_cast<const std::int16_t*>(block.data());
      blocks.emplace_back(s, s + block.size() / 2);
    }
  });
  ASSERT_TRUE(card_->StartCapture());
  PlayTone();
  // The tone reaches the capture after a few blocks of silence; the last block is inside it.
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::lock_guard lock(mutex);
        return blocks.size() >= 6;
      },
      15000));
  card_->StopCapture();
  std::lock_guard lock(mutex);
  EXPECT_EQ(opened, 1);
  const std::vector<std::int16_t>& block = blocks.back();
  ASSERT_EQ(block.size(), 2048u);
  // 2048 samples at 8000 Hz are 256 ms: a 1000 Hz tone crosses zero about 512 times.
  int crossings = 0;
  for (std::size_t i = 1; i < block.size(); ++i)
    crossings += (block[i - 1] < 0) != (block[i] < 0);
  EXPECT_NEAR(crossings, 512, 8);
}

TEST_F(PulseSoundBackendTest, AServerThatDiesIsReportedOnceAndTheMetersWorkAgainAfterItsReturn) {
  const int meter = Bind("rx", kControlPeakMeter, true);
  StartPoller(meter);
  PlayTone();
  ASSERT_TRUE(WaitUntil([&] { return poller_->VoxPresent(); }, 10000));
  player_.kill();
  player_.waitForFinished();
  server_.Kill();
  ASSERT_TRUE(WaitUntil([&] { return !errors_.isEmpty(); }, 10000));
  EXPECT_TRUE(errors_.front().startsWith("Lost the connection to the sound server"))
      << errors_.front().toStdString();
  EXPECT_EQ(card_->GetControlValue(meter), 0u);
  EXPECT_TRUE(WaitUntil([&] { return !poller_->VoxPresent(); }, 10000));
  EXPECT_EQ(card_->LineCount(), 0);
  // Failed retries while the server is away stay quiet.
  WaitUntil([] { return false; }, 2500);
  EXPECT_EQ(errors_.size(), 1);

  QString error;
  ASSERT_TRUE(server_.Start(error)) << error.toStdString();
  ASSERT_TRUE(WaitUntil([&] { return LineOf("rx") >= 0; }, 10000));
  PlayTone();
  EXPECT_TRUE(WaitUntil([&] { return poller_->VoxPresent(); }, 10000));
  EXPECT_EQ(errors_.size(), 1);
}

TEST_F(PulseSoundBackendTest, ListAudioShowsTheServersSinksAndSources) {
  QProcess tarvok;
  tarvok.start(QStringLiteral(TARVOK_BINARY), {"--list-audio", "--audio", "pulse"});
  ASSERT_TRUE(tarvok.waitForFinished(20000));
  const QString out = QString::fromLocal8Bit(tarvok.readAllStandardOutput());
  EXPECT_EQ(tarvok.exitCode(), 0);
  EXPECT_TRUE(
      out.contains("   0  DST:out: Radio RX  [rx]\n"
                   "        Peak Meter: meter, maximum 32767 (0-90 dB)\n"
                   "        Volume: volume\n"))
      << out.toStdString();
  EXPECT_TRUE(out.contains("   3  src:rec: Receiver input  [receiver]\n")) << out.toStdString();
}

}  // namespace
}  // namespace tarvok
