// The Simplex Repeater cycle on a private PulseAudio server, in real time: a burst played into the
// "rx" sink reaches the station through the receiver source, is recorded, and is repeated on the
// default sink "tx" with the CW identification after it; then the station listens again.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QtEndian>

#include "platform/pulse/pulse_sound_backend.h"
#include "support/pulse_test_server.h"
#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

constexpr int kWaitMs = 5000;

class PulseStationTest : public WholeStationTest {
 protected:
  void SetUp() override {
    QString error;
    ASSERT_TRUE(server_.Start(error)) << error.toStdString();
    server_.Run("pactl", {"set-default-source", "receiver"});
    server_.Run("pactl", {"set-default-sink", "tx"});
    ASSERT_TRUE(WriteToneWav(FilePath("burst.wav"), 1000, -6, 1.0));
    // Line 3 is the receiver source; the mode of the last run comes back at start.
    WriteSettings(
        "[Audio]\nSaveMode=1\nDefaultMode=2\nState=0\nSourceIndex0=3\nSourceIndex1=1\n"
        "ComDevice=virtual\nCWString2=E\nCWFrequency=600\n[Remote]\nRemoteEnabled=1\n");
    auto backend = std::make_unique<TPulseSoundBackend>();
    ASSERT_TRUE(backend->WaitUntilReady(10000));
    StartStation(std::move(backend));
    Station().Start();
  }

  void TearDown() override {
    // The station goes before its server does.
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
};

TEST_F(PulseStationTest, AReceivedBurstIsRecordedRepeatedAndIdentified) {
  ASSERT_TRUE(WaitForState(msListen));
  EXPECT_EQ(Station().State().Mode, rmSimplexRepeater);
  server_.Record(monitor_, "tx.monitor");
  // An idle null sink takes a while to deliver the first data to a new record stream.
  ASSERT_TRUE(WaitUntil(
      [this] { return Station().CapturedBytes() > 0 && monitor_.bytesAvailable() > 0; }, 10000))
      << "captured " << Station().CapturedBytes() << " bytes, monitored "
      << monitor_.bytesAvailable();

  server_.Play(player_, "rx", FilePath("burst.wav"));
  ASSERT_TRUE(WaitForState(msSignal));
  EXPECT_FALSE(Keyed());
  const QString recording = Station().LastRecording();
  Station().Tick(TStationTimer::Ident);  // the identification falls due while recording
  ASSERT_TRUE(WaitForState(msNoSignal));
  EXPECT_TRUE(Keyed());
  ASSERT_TRUE(WaitForState(msCWTone));
  ASSERT_TRUE(WaitForState(msListen));
  EXPECT_FALSE(Keyed());
  EXPECT_EQ(Station().Indicator().Caption, "LISTENING");
  EXPECT_FALSE(QFileInfo::exists(recording)) << "a repeated recording is not kept";
  EXPECT_EQ(keyings_, (std::vector<bool>{true, false}));
  EXPECT_TRUE(WaitUntil([this] { return RemoteStatus().value("ModeState") == "5"; }, 3000));

  // What reached the transmitter's sink: the burst, then the CW element of "E".
  const std::vector<TToneRun> runs = FindToneRuns(Transmitted(), 8000);
  QString found;
  for (const TToneRun& run : runs)
    found +=
        QString::asprintf("%.3f s of %.0f Hz at %.3f s; ", run.Seconds, run.Frequency, run.Start);
  ASSERT_EQ(runs.size(), 2u) << found.toStdString();
  EXPECT_NEAR(runs[0].Seconds, 1.0, 0.1);
  EXPECT_NEAR(runs[0].Frequency, 1000, 10);
  EXPECT_NEAR(runs[1].Frequency, 600, 20);
  EXPECT_TRUE(messages_.Shown.empty());
}

// The switch to Simplex Repeater mode right after the start binds each trace's meter again while
// its stream is still being set up; PipeWire kept such a stream, and its audio, when it was closed.
TEST_F(PulseStationTest, EachTraceKeepsOneMeterStreamThroughTheModeChangeAtStart) {
  ASSERT_TRUE(WaitForState(msListen));
  EXPECT_EQ(server_.Run("pactl", {"list", "source-outputs"}).count("\"Peak meter\""), 2);
}

// The sound server killed while the station records and while it plays: each outage shows one
// message, and the station goes back to listening by itself once the server is back.
TEST_F(PulseStationTest, ALostServerGivesOneMessagePerOutageAndTheStationComesBack) {
  QStringList errors;
  QObject::connect(&Station(), &TStationRuntime::ErrorShown,
                   [&errors](const QString& text) { errors << text; });
  for (const int killedIn : {msSignal, msNoSignal}) {
    ASSERT_TRUE(WaitForState(msListen));
    ASSERT_TRUE(WaitUntil([this] { return Station().CapturedBytes() > 0; }, 10000));
    server_.Play(player_, "rx", FilePath("burst.wav"));
    ASSERT_TRUE(WaitForState(killedIn)) << killedIn;
    errors.clear();
    server_.Kill();
    WaitUntil([] { return false; }, 4000);
    EXPECT_EQ(errors.size(), 1) << errors.join(" | ").toStdString();
    EXPECT_FALSE(Keyed());

    QString error;
    ASSERT_TRUE(server_.Start(error)) << error.toStdString();
    server_.Run("pactl", {"set-default-source", "receiver"});
    server_.Run("pactl", {"set-default-sink", "tx"});
    const qint64 captured = Station().CapturedBytes();
    EXPECT_TRUE(WaitUntil(
        [&] { return ModeState() == msListen && Station().CapturedBytes() > captured; }, 15000))
        << killedIn;
  }
}

// An Internet Repeater whose VOX listens to the sink "rx", chosen by its index only. The sink
// unloaded and loaded again (a USB card unplugged and plugged back) returns at another index, and
// "tx" takes the old one: the trace stays with "rx".
class PulseDeviceTest : public WholeStationTest {
 protected:
  void TearDown() override {
    if (runtime_)
      runtime_->Close();
    runtime_.reset();
    player_.kill();
    player_.waitForFinished();
  }

  // Plays the burst into the sink; whether the transmitter was keyed.
  bool KeysOnPlay(const QString& sink) {
    const std::size_t before = keyings_.size();
    server_.Play(player_, sink, FilePath("burst.wav"));
    const bool keyed = WaitUntil([&] { return keyings_.size() > before; }, 4000);
    player_.waitForFinished(5000);
    WaitUntil([this] { return !Keyed(); }, 4000);
    return keyed;
  }

  TPulseTestServer server_;
  QProcess player_;
};

TEST_F(PulseDeviceTest, TheVoxTraceFollowsItsSinkWhenItComesBackAtAnotherIndex) {
  QString error;
  ASSERT_TRUE(server_.Start(error)) << error.toStdString();
  ASSERT_TRUE(WriteToneWav(FilePath("burst.wav"), 1000, -6, 1.0));
  WriteSettings(
      "[Audio]\nSaveMode=1\nDefaultMode=1\nState=0\nSourceIndex0=0\nSourceIndex1=3\n"
      "ComDevice=virtual\nVOXAutoDetect=0\n");
  auto backend = std::make_unique<TPulseSoundBackend>();
  ASSERT_TRUE(backend->WaitUntilReady(10000));
  StartStation(std::move(backend));
  QStringList reports;
  QObject::connect(&Station(), &TStationRuntime::ErrorShown,
                   [&reports](const QString& text) { reports << text; });
  Station().Start();
  ASSERT_TRUE(KeysOnPlay("rx"));

  const QStringList modules = server_.Run("pactl", {"list", "short", "modules"}).split('\n');
  const QStringList rx = modules.filter("sink_name=rx ");
  ASSERT_EQ(rx.size(), 1) << modules.join('\n').toStdString();
  server_.Run("pactl", {"unload-module", rx.front().section('\t', 0, 0)});
  ASSERT_TRUE(WaitUntil([&] { return !reports.filter("is gone").isEmpty(); }, 5000));
  EXPECT_FALSE(KeysOnPlay("tx")) << "tx took the index of rx";

  server_.Run("pactl", {"load-module", "module-null-sink", "sink_name=rx"});
  ASSERT_TRUE(WaitUntil([&] { return !reports.filter("is back").isEmpty(); }, 5000))
      << reports.join(" | ").toStdString();
  EXPECT_TRUE(KeysOnPlay("rx"));
  EXPECT_EQ(reports.filter("Upper Trace").size(), 2) << reports.join(" | ").toStdString();
}

}  // namespace
}  // namespace tarvok
