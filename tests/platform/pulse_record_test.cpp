// Recording and playback on a private PulseAudio server: a tone played into the "rx" null sink is
// recorded from the receiver source and played back to the "tx" null sink, where it arrives with
// its frequency and level and without gaps; a sink that goes away ends the playback there; a
// preview plays to its end on the default sink.
#include <gtest/gtest.h>

#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "core/audio/record_thread.h"
#include "core/audio/wav_file_player.h"
#include "core/audio/wav_reader.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "support/application.h"
#include "support/config_fixture.h"
#include "support/pulse_test_server.h"
#include "support/recorded_samples.h"

namespace tarvok {
namespace {

constexpr int kRate = 8000;

class TEventLog final : public TRecorderEvents {
 public:
  void OnRecordStart(bool) override {}
  void OnRecordStop() override {}
  void OnPlayStart(int) override {}
  void OnPlayFinished(int) override { ++Finished; }
  int Finished = 0;
};

struct TTone {
  double Seconds = 0.0;
  double Frequency = 0.0;  // from the median period, which a short glitch does not move
  int Peak = 0;
  int Gaps = 0;  // 10 ms windows within the tone whose peak is below half the tone's
};

double MedianPeriodFrequency(const std::vector<std::int16_t>& t) {
  std::vector<double> periods;
  double last = -1.0;
  for (std::size_t i = 1; i < t.size(); ++i) {
    if (t[i - 1] >= 0 || t[i] < 0)
      continue;
    const double at = static_cast<double>(i - 1) + t[i - 1] / static_cast<double>(t[i - 1] - t[i]);
    if (last >= 0.0)
      periods.push_back(at - last);
    last = at;
  }
  if (periods.empty())
    return 0.0;
  std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
  return kRate / periods[periods.size() / 2];
}

// The stretch from the first to the last sample above -24 dBFS, taken as one tone.
TTone Analyse(const std::vector<std::int16_t>& s) {
  const auto loud = [](std::int16_t v) { return std::abs(static_cast<int>(v)) > 2000; };
  const auto first = std::find_if(s.begin(), s.end(), loud);
  const auto last = std::find_if(s.rbegin(), s.rend(), loud).base();
  TTone tone;
  if (first >= last)
    return tone;
  const std::vector<std::int16_t> t(first, last);
  for (const std::int16_t v : t)
    tone.Peak = std::max(tone.Peak, std::abs(static_cast<int>(v)));
  tone.Seconds = static_cast<double>(t.size()) / kRate;
  tone.Frequency = MedianPeriodFrequency(t);
  const std::size_t window = kRate / 100;
  for (std::size_t w = 0; w + window <= t.size(); w += window) {
    int peak = 0;
    for (std::size_t i = w; i < w + window; ++i)
      peak = std::max(peak, std::abs(static_cast<int>(t[i])));
    tone.Gaps += peak < tone.Peak / 2;
  }
  return tone;
}

std::vector<std::int16_t> FromBytes(const QByteArray& data) {
  std::vector<std::int16_t> samples(static_cast<std::size_t>(data.size() / 2));
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = qFromLittleEndian<std::int16_t>(data.constData() + 2 * i);
  return samples;
}

class PulseRecordTest : public ConfigTest {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  void SetUp() override {
    QString error;
    ASSERT_TRUE(server_.Start(error)) << error.toStdString();
    server_.Run("pactl", {"set-default-source", "receiver"});
    server_.Run("pactl", {"set-default-sink", "tx"});
    backend_ = std::make_unique<TPulseSoundBackend>();
    ASSERT_TRUE(backend_->WaitUntilReady(10000));
    thread_ = std::make_unique<TRecordThread>(*backend_, messages_, Config(), clock_);
    thread_->SetEvents(&events_);
    thread_->Recorder().SetRecordingFormat(1, 1, kRate, 16, 4096);
  }

  void TearDown() override {
    for (QProcess* p : {&player_, &monitor_}) {
      p->kill();
      p->waitForFinished();
    }
    thread_.reset();
    backend_.reset();
  }

  // PipeWire's graph, without real-time scheduling, now and then drops or fills one quantum (about
  // 11 ms) of any stream, a bare parec's as well; PulseAudio never does.
  int ServerGaps() const { return server_.Kind() == TSoundServerKind::PipeWire ? 1 : 0; }

  TPulseTestServer server_;
  QProcess player_;
  QProcess monitor_;
  TEventLog events_;
  std::unique_ptr<TPulseSoundBackend> backend_;
  std::unique_ptr<TRecordThread> thread_;
};

TEST_F(PulseRecordTest, ARecordedToneIsPlayedBackToTheDefaultSinkWithoutGaps) {
  Config().SetLogEnabled(true);
  ASSERT_TRUE(WriteToneWav(dir_.filePath("tone.wav"), 1000, -6, 1.5));
  server_.Record(monitor_, "tx.monitor");
  ASSERT_TRUE(thread_->StartRecord(true));
  // An idle null sink takes a while to deliver the first data to a new record stream.
  ASSERT_TRUE(WaitUntil(
      [this] { return thread_->TotalRecorded() > 0 && monitor_.bytesAvailable() > 0; }, 10000));
  server_.Play(player_, "rx", dir_.filePath("tone.wav"));
  ASSERT_TRUE(WaitUntil([this] { return player_.state() == QProcess::NotRunning; }, 15000));
  // What the sink played still has the capture stream's latency to pass.
  WaitUntil([] { return false; }, 300);
  ASSERT_TRUE(thread_->Repeat(0));
  ASSERT_TRUE(WaitUntil([this] { return events_.Finished == 1; }, 15000));
  WaitUntil([] { return false; }, 200);
  const TTone sent = Analyse(FromBytes(monitor_.readAllStandardOutput()));
  const TTone recorded = Analyse(RecordedSamples(thread_->Recorder().LastRecording()));

  // -6 dBFS is a peak of 16422; each pass through a sink resamples.
  for (const TTone& tone : {recorded, sent}) {
    EXPECT_NEAR(tone.Seconds, 1.5, 0.02);
    EXPECT_NEAR(tone.Frequency, 1000, 5);
    EXPECT_NEAR(20 * std::log10(tone.Peak / 16422.0), 0.0, 1.0);
    EXPECT_LE(tone.Gaps, ServerGaps());
  }
  EXPECT_TRUE(messages_.Shown.empty());
}

TEST_F(PulseRecordTest, APlaybackWhoseSinkGoesAwayEndsAndMovesNowhere) {
  ASSERT_TRUE(WriteToneWav(dir_.filePath("long.wav"), 440, -6, 20.0));
  Config().SetWAVFile(7, dir_.filePath("long.wav"));
  ASSERT_TRUE(thread_->Play(7));
  QString module;
  for (const QString& line : server_.Run("pactl", {"list", "short", "modules"}).split('\n')) {
    if (line.contains("sink_name=tx"))
      module = line.section('\t', 0, 0);
  }
  ASSERT_FALSE(module.isEmpty());
  server_.Run("pactl", {"unload-module", module});
  ASSERT_TRUE(WaitUntil([this] { return events_.Finished == 1; }, 10000));
  EXPECT_EQ(thread_->State(), TRecorderControl::TState::Idle);
  EXPECT_EQ(thread_->Recorder().LastError(), "The output device was closed while playing");
  EXPECT_EQ(server_.Run("pactl", {"list", "short", "sink-inputs"}).trimmed(), "");
}

TEST_F(PulseRecordTest, APreviewPlaysToItsEndOnTheDefaultSink) {
  ASSERT_TRUE(WriteToneWav(dir_.filePath("tone.wav"), 800, -6, 0.5, 22050));
  server_.Record(monitor_, "tx.monitor");
  ASSERT_TRUE(WaitUntil([this] { return monitor_.bytesAvailable() > 0; }, 10000));
  TWavFilePlayer player(*backend_, thread_->Recorder());
  int finished = 0;
  QObject::connect(&player, &TWavFilePlayer::Finished, [&finished] { ++finished; });
  ASSERT_EQ(player.Play(dir_.filePath("tone.wav")), "");
  ASSERT_TRUE(WaitUntil([&finished] { return finished > 0; }, 10000));
  WaitUntil([] { return false; }, 300);
  EXPECT_EQ(finished, 1);
  const TTone sent = Analyse(FromBytes(monitor_.readAllStandardOutput()));
  EXPECT_NEAR(sent.Seconds, 0.5, 0.02);
  EXPECT_NEAR(sent.Frequency, 800, 5);
  EXPECT_LE(sent.Gaps, ServerGaps());
}

}  // namespace
}  // namespace tarvok
