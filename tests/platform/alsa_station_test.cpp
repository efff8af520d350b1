// The station on the ALSA back end in real time, through ALSA's PulseAudio plugin (the device
// "pulse") against a private PulseAudio server: the plugin records the server's default source and
// plays on its default sink, so "receiver" (what the sink "rx" plays) is the radio's receiver and
// "tx" its transmitter. The Simplex cycle, the VOX of Internet Repeater mode on the PC audio line,
// the server killed while recording, and what --list-audio shows.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QtEndian>

#include "core/audio/wav_reader.h"
#include "platform/alsa/alsa_sound_backend.h"
#include "support/pulse_test_server.h"
#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

constexpr int kWaitMs = 8000;

class AlsaStationTest : public WholeStationTest {
 protected:
  void SetUp() override {
    QString error;
    ASSERT_TRUE(server_.Start(error)) << error.toStdString();
    UseServerDefaults();
    ASSERT_TRUE(WriteToneWav(FilePath("burst.wav"), 1000, -6, 5.0));
  }

  void UseServerDefaults() {
    server_.Run("pactl", {"set-default-source", "receiver"});
    server_.Run("pactl", {"set-default-sink", "tx"});
  }

  // Lines: 0 Output, 1 Station Audio, 2 Recording Control, 3 Receiver, 4 PC Audio.
  void Start(const QByteArray& settings, const QString& pcAudio = {}) {
    WriteSettings("[Audio]\nSaveMode=1\nState=0\nComDevice=virtual\n" + settings);
    StartStation(std::make_unique<TAlsaSoundBackend>(QStringLiteral("pulse"), pcAudio));
    QObject::connect(&Station(), &TStationRuntime::ErrorShown,
                     [this](const QString& text) { errors_ << text; });
    Station().Start();
  }

  void TearDown() override {
    if (runtime_)
      runtime_->Close();
    runtime_.reset();
    for (QProcess* p : {&player_, &monitor_}) {
      p->kill();
      p->waitForFinished();
    }
  }

  bool WaitForState(int modeState) {
    return WaitUntil([this, modeState] { return ModeState() == modeState; }, kWaitMs);
  }

  std::vector<std::int16_t> Transmitted() {
    const QByteArray data = monitor_.readAllStandardOutput();
    std::vector<std::int16_t> samples(static_cast<std::size_t>(data.size() / 2));
    for (std::size_t i = 0; i < samples.size(); ++i)
      samples[i] = qFromLittleEndian<std::int16_t>(data.constData() + 2 * i);
    return samples;
  }

  TPulseTestServer server_;
  QProcess player_;
  QProcess monitor_;
  QStringList errors_;
};

TEST_F(AlsaStationTest, AFiveSecondTransmissionIsRecordedAndRepeatedWhole) {
  Start("DefaultMode=2\nSourceIndex0=3\nSourceIndex1=1\n");
  ASSERT_TRUE(WaitForState(msListen));
  server_.Record(monitor_, "tx.monitor");
  ASSERT_TRUE(WaitUntil(
      [this] { return Station().CapturedBytes() > 0 && monitor_.bytesAvailable() > 0; }, 10000));

  server_.Play(player_, "rx", FilePath("burst.wav"));
  ASSERT_TRUE(WaitForState(msSignal));
  EXPECT_FALSE(Keyed());
  ASSERT_TRUE(WaitUntil([this] { return ModeState() == msNoSignal; }, 10000));
  EXPECT_TRUE(Keyed());
  ASSERT_TRUE(WaitUntil([this] { return ModeState() == msListen; }, 10000)) << ModeState();
  EXPECT_FALSE(Keyed());
  EXPECT_EQ(keyings_, (std::vector<bool>{true, false}));

  const std::vector<TToneRun> runs = FindToneRuns(Transmitted(), 8000);
  QString found;
  for (const TToneRun& run : runs)
    found +=
        QString::asprintf("%.3f s of %.0f Hz at %.3f s; ", run.Seconds, run.Frequency, run.Start);
  ASSERT_EQ(runs.size(), 1u) << found.toStdString();
  EXPECT_NEAR(runs[0].Seconds, 5.0, 0.15) << found.toStdString();
  EXPECT_NEAR(runs[0].Frequency, 1000, 10);
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join(" | ").toStdString();
  EXPECT_TRUE(messages_.Shown.empty());
}

// The PC audio comes from its own capture device: here the plugin on the monitor of a sink "pc",
// where a loopback card's capture side would be on a Pi.
TEST_F(AlsaStationTest, PcAudioKeysTheTransmitterInInternetRepeaterMode) {
  server_.Run("pactl", {"load-module", "module-null-sink", "sink_name=pc"});
  Start("DefaultMode=1\nSourceIndex0=4\nSourceIndex1=3\nVOXAutoDetect=0\n",
        QStringLiteral("pulse:pc.monitor"));
  ASSERT_TRUE(WaitUntil([this] { return Station().State().Mode == rmInternetRepeater; }, kWaitMs));
  WaitUntil([] { return false; }, 1000);
  EXPECT_FALSE(Keyed());
  server_.Play(player_, "pc", FilePath("burst.wav"));
  ASSERT_TRUE(WaitUntil([this] { return Keyed(); }, kWaitMs));
  player_.kill();
  player_.waitForFinished();
  EXPECT_TRUE(WaitUntil([this] { return !Keyed(); }, kWaitMs));
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join(" | ").toStdString();
}

// The server killed under the plugin while the station records: one message, the recording a file
// that reads, the transmitter released; the station hears again once the server is back.
TEST_F(AlsaStationTest, AServerKilledWhileRecordingIsReportedOnceAndTheStationComesBack) {
  Start("DefaultMode=2\nSourceIndex0=3\nSourceIndex1=1\n");
  ASSERT_TRUE(WaitForState(msListen));
  ASSERT_TRUE(WaitUntil([this] { return Station().CapturedBytes() > 0; }, 10000));
  server_.Play(player_, "rx", FilePath("burst.wav"));
  ASSERT_TRUE(WaitForState(msSignal));
  const QString recording = Station().LastRecording();
  WaitUntil([] { return false; }, 1000);
  server_.Kill();
  WaitUntil([] { return false; }, 5000);
  EXPECT_EQ(errors_.size(), 1) << errors_.join(" | ").toStdString();
  EXPECT_TRUE(errors_.value(0).startsWith("The sound device pulse is gone"))
      << errors_.join(" | ").toStdString();
  EXPECT_FALSE(Keyed());
  if (QFileInfo::exists(recording)) {
    const TWavLayout layout = ReadWavLayout(recording);
    EXPECT_TRUE(layout.IsValid()) << layout.Error.toStdString();
    EXPECT_EQ(layout.DataOffset, 58);
  }

  QString error;
  ASSERT_TRUE(server_.Start(error)) << error.toStdString();
  UseServerDefaults();
  const qint64 captured = Station().CapturedBytes();
  EXPECT_TRUE(WaitUntil(
      [&] { return ModeState() == msListen && Station().CapturedBytes() > captured; }, 15000));
  EXPECT_EQ(errors_.size(), 2);
  EXPECT_EQ(errors_.value(1), "The sound device pulse is back.");
}

TEST_F(AlsaStationTest, ListAudioShowsTheLinesAndWhatAlsaOffers) {
  QProcess tarvok;
  tarvok.start(QStringLiteral(TARVOK_BINARY), {"--list-audio", "--audio", "alsa:pulse"});
  ASSERT_TRUE(tarvok.waitForFinished(15000));
  EXPECT_EQ(tarvok.exitCode(), 0);
  const QString out = QString::fromLocal8Bit(tarvok.readAllStandardOutput());
  EXPECT_TRUE(
      out.startsWith("Sound system: the ALSA device pulse\n"
                     "Mixer device 0: ALSA pulse\n"
                     "   0  DST:out: Output  [pulse]\n"))
      << out.toStdString();
  EXPECT_TRUE(out.contains("   3  src:rec: Receiver  [pulse in]\n")) << out.toStdString();
  EXPECT_TRUE(out.contains("ALSA PCM devices:\n")) << out.toStdString();
  EXPECT_TRUE(out.contains("\n  pulse  PulseAudio Sound Server\n")) << out.toStdString();
  EXPECT_TRUE(out.contains("Sound cards: no sound cards\n")) << out.toStdString();
}

}  // namespace
}  // namespace tarvok
