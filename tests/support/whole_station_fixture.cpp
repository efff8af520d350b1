#include "support/whole_station_fixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "support/application.h"
#include "support/recorded_samples.h"
#include "support/station_runtime_probe.h"

namespace tarvok {

namespace {

constexpr int kLoudPeak = 2000;  // about -24 dBFS

}  // namespace

std::vector<TToneRun> FindToneRuns(const std::vector<std::int16_t>& samples, int sampleRate) {
  const std::size_t window = static_cast<std::size_t>(sampleRate / 100);
  std::vector<TToneRun> runs;
  const auto close = [&](std::size_t begin, std::size_t end) {
    // Half periods between the first and the last swing from one side to the other, so that
    // neither the windows' rounding of the run's ends nor a resampler's ringing around a hard
    // start biases a short run's frequency.
    std::size_t first = 0;
    std::size_t last = 0;
    int crossings = 0;
    int side = 0;
    for (std::size_t i = begin; i < end; ++i) {
      const int now = samples[i] > kLoudPeak / 2 ? 1 : samples[i] < -kLoudPeak / 2 ? -1 : 0;
      if (now == 0 || now == side)
        continue;
      if (side != 0) {
        first = crossings++ == 0 ? i : first;
        last = i;
      }
      side = now;
    }
    const double frequency =
        crossings > 1 ? (crossings - 1) / 2.0 * sampleRate / static_cast<double>(last - first)
                      : 0.0;
    runs.push_back({static_cast<double>(begin) / sampleRate,
                    static_cast<double>(end - begin) / sampleRate, frequency});
  };
  std::optional<std::size_t> runStart;
  std::size_t w = 0;
  for (; w + window <= samples.size(); w += window) {
    int peak = 0;
    for (std::size_t i = w; i < w + window; ++i)
      peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    if (peak > kLoudPeak && !runStart) {
      runStart = w;
    } else if (peak <= kLoudPeak && runStart) {
      close(*runStart, w);
      runStart.reset();
    }
  }
  if (runStart)
    close(*runStart, w);
  return runs;
}

void WholeStationTest::SetUpTestSuite() { EnsureApplication(); }

WholeStationTest::WholeStationTest()
    : clock_(QDateTime(QDate(2026, 12, 5), QTime(7, 14, 22))),
      tap_(serialPort_, [this](bool keyed) {
        if (keyings_.empty() ? keyed : keyings_.back() != keyed)
          keyings_.push_back(keyed);
        if (keyingSink_)
          keyingSink_(keyed);
      }) {}

WholeStationTest::~WholeStationTest() {
  if (runtime_)
    runtime_->Close();
  runtime_.reset();
  keying_.reset();
  config_.reset();
}

void WholeStationTest::WriteSettings(const QByteArray& text) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("remote")));
  QFile file(FilePath(QStringLiteral("tarvok.ini")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

void WholeStationTest::StartStation(std::unique_ptr<TSoundBackend> backend) {
  config_ = std::make_unique<TConfig>(TStationFolder(dir_.path()), clock_, messages_);
  keying_ = std::make_unique<TTransmitter>(*config_, clock_, tap_, messages_);
  keying_->Key(false);
  runtime_ = std::make_unique<TStationRuntime>(*config_, clock_, std::move(backend), *keying_,
                                               messages_, TStationRole::Service);
  QObject::connect(runtime_.get(), &TStationRuntime::PeakMeterHelpNeeded,
                   [this] { ++promptsShown_; });
  QObject::connect(runtime_.get(), &TStationRuntime::TraceWarningAsked, [this] {
    ++promptsShown_;
    runtime_->AnswerTraceWarning(false);
  });
}

QMap<QString, QString> WholeStationTest::RemoteStatus() const {
  QMap<QString, QString> status;
  QFile file(FilePath(QStringLiteral("remote/tarvok.rmt")));
  if (!file.open(QIODevice::ReadOnly))
    return status;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const qsizetype eq = line.indexOf('=');
    if (eq > 0)
      status.insert(QString::fromLatin1(line.left(eq)), QString::fromLatin1(line.mid(eq + 1)));
  }
  return status;
}

void VirtualStationTest::StartVirtual(const QString& scenarioText) {
  TScenario scenario;
  QString error;
  ASSERT_TRUE(TScenario::Parse(scenarioText, dir_.path(), scenario, error)) << error.toStdString();
  transmitter_ = std::make_shared<TTransmitterRecorder>(dir_.path(), TScenario::kSampleRate);
  ASSERT_EQ(transmitter_->Error(), "");
  auto backend = std::make_unique<TVirtualSoundBackend>(std::move(scenario), transmitter_);
  card_ = backend.get();
  // The keying is logged beside transmitter.wav, as the headless station does it.
  keyingSink_ = [transmitter = transmitter_](bool keyed) { transmitter->SetKeyed(keyed); };
  StartStation(std::move(backend));
  // The poller's thread stays idle: each step polls by hand, so its delays count card time.
  TStationRuntimeProbe::Poller(Station()).SetEnabled(false);
  Station().Start();
  Station().HoldTimers();
  lastSecond_ = clock_.Now().toSecsSinceEpoch();
  RunQueuedCalls();
}

void VirtualStationTest::Step() {
  card_->Advance(TScenario::kSampleRate / 1000 * kStepMs);
  for (int poll = 0; poll < kStepMs / TLevelPoller::kInterval; ++poll)
    TStationRuntimeProbe::Poller(Station()).Poll();
  clock_.AdvanceMilliseconds(kStepMs);
  if (clock_.Now().toSecsSinceEpoch() != lastSecond_) {
    lastSecond_ = clock_.Now().toSecsSinceEpoch();
    Station().Tick(TStationTimer::Clock);
  }
  RunQueuedCalls();  // the VOX's request, posted by a flip of its flag
  Station().Tick(TStationTimer::AirMessages);
  Station().Tick(TStationTimer::Watchdog);
  RunQueuedCalls();
}

void VirtualStationTest::Run(int ms) {
  for (int done = 0; done < ms; done += kStepMs)
    Step();
}

bool VirtualStationTest::RunUntil(const std::function<bool()>& condition, int maxMs) {
  for (int done = 0; done < maxMs && !condition(); done += kStepMs)
    Step();
  return condition();
}

std::vector<TKeyingChange> VirtualStationTest::KeyingLog() const {
  static const QRegularExpression line(
      QStringLiteral(R"(^([\d.]+) s: (keyed|released) \(transmitter.wav at ([\d.]+) s\)$)"));
  std::vector<TKeyingChange> changes;
  QFile file(transmitter_->LogPath());
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    return changes;
  for (const QByteArray& text : file.readAll().split('\n')) {
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(text));
    if (match.hasMatch())
      changes.push_back({match.captured(1).toDouble(), match.captured(2) == "keyed",
                         match.captured(3).toDouble()});
    else
      EXPECT_TRUE(text.isEmpty()) << "unexpected keying log line: " << text.constData();
  }
  return changes;
}

std::vector<TToneRun> VirtualStationTest::TransmittedRuns() const {
  return FindToneRuns(RecordedSamples(transmitter_->WavPath()), TScenario::kSampleRate);
}

}  // namespace tarvok
