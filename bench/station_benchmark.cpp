// The main thread's share of the level display, the VOX and the DTMF decoding: one refresh tick
// (display and gain control of both traces), one VOX tick, and one captured block from its
// arrival on the capture thread's side to its key on the terminal.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <numbers>

#include "core/audio/level_poller.h"
#include "core/audio/sound_card.h"
#include "core/common/clock.h"
#include "core/common/user_messages.h"
#include "core/config/config.h"
#include "core/dtmf/dtmf_block_processor.h"
#include "core/station/trace_source.h"
#include "core/station/vox_control.h"
#include "support/fake_sound_backend.h"

namespace tarvok {
namespace {

class TNoMessages final : public TUserMessages, public TVoxEngine {
 public:
  void ShowError(const QString&) override {}
  bool Inhibit() const override { return false; }
  TRepeaterMode Mode() const override { return rmInternetRepeater; }
  void SetState(int request) override { benchmark::DoNotOptimize(request); }
};

// A configuration in a temporary folder with two metered lines, both traces on them, AGC on
// and panels laid out as the desktop lays them out.
struct TTraceBench {
  TTraceBench()
      : folder(dir.path()),
        clock(QDateTime(QDate(2026, 12, 5), QTime(7, 0))),
        config(folder, clock, quiet) {
    auto backend = std::make_unique<TFakeSoundBackend>();
    backend->AddLine(1, kDestinationSpeakers, "Speakers", false, {Volume(10), PeakMeter(11)});
    backend->AddLine(2, kDestinationWaveIn, "Recording Control", false);
    backend->AddLine(3, kSourceMicrophone, "Microphone", true, {PeakMeter(30), Volume(31)});
    card = std::make_unique<TSoundCard>(std::move(backend));
    poller = std::make_unique<TLevelPoller>(*card);
    for (int trace = 0; trace < kTraceCount; ++trace) {
      config.SetAgcEnabled(trace, true);
      config.SetSourceIndex(trace, trace == 0 ? 0 : 2);
      traces[trace] = std::make_unique<TTraceSource>(trace, config, clock);
      traces[trace]->Initialize(card.get(), poller.get());
      traces[trace]->SetMode(rmInternetRepeater);
      traces[trace]->SetDisplaySize(200, 15, 120);
    }
    vox = std::make_unique<TVoxControl>(config, *poller, *traces[0], *traces[1], quiet);
  }

  QTemporaryDir dir;
  TStationFolder folder;
  TManualClock clock;
  TNoMessages quiet;
  TConfig config;
  std::unique_ptr<TSoundCard> card;
  std::unique_ptr<TLevelPoller> poller;
  std::array<std::unique_ptr<TTraceSource>, kTraceCount> traces;
  std::unique_ptr<TVoxControl> vox;
};

// With a signal the gain control reads the clock and may move the faders.
void BM_RefreshTick(benchmark::State& state) {
  TTraceBench station;
  if (state.range(0) != 0) {
    for (TTraceFlag* flag : {&station.poller->Vox(), &station.poller->Other()}) {
      flag->SetOnDelay(0);
      flag->Reset();
      flag->Update(flag->Threshold() + 1);
    }
  }
  int level = 0;
  for (auto _ : state) {
    level = (level + 997) % 32768;
    for (auto& trace : station.traces) {
      station.card->MixerControls().Items(trace->TraceIndex() * 2 + 1).SetLevel(level);
      trace->DisplayTick();
      trace->AgcTick();
    }
  }
}
BENCHMARK(BM_RefreshTick)->ArgName("signal")->Arg(0)->Arg(1)->Unit(benchmark::kNanosecond);

void BM_VoxRequest(benchmark::State& state) {
  TTraceBench station;
  station.config.SetState(0);
  for (auto _ : state)
    station.vox->RequestState();
}
BENCHMARK(BM_VoxRequest)->Unit(benchmark::kNanosecond);

void BM_CapturedBlockToKey(benchmark::State& state) {
  TTraceBench station;
  station.config.SetDTFMEnabled(true);
  TDtmfBlockProcessor processor(station.config, station.clock);
  int keys = 0;
  QObject::connect(&processor, &TDtmfBlockProcessor::KeyDecoded, [&] { ++keys; });
  // Keys 5 and 9 in turn, so that every block brings a new key.
  std::array<std::vector<std::byte>, 2> blocks;
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    const int high = b == 0 ? 1336 : 1477;
    const int low = b == 0 ? 770 : 852;
    blocks[b].resize(TDtmfBlockProcessor::kBlockBytes);
    for (int n = 0; n < TDtmfDetector::kBlockSize; ++n) {
      const double t = 2 * std::numbers::pi * n / TDtmfDetector::kSampleRate;
      const auto sample = static_cast<qint16>(8000 * (std::sin(low * t) + std::sin(high * t)));
      qToLittleEndian(sample, blocks[b].data() + 2 * n);
    }
  }
  processor.SetLevelBarPosition(60);  // level 40: decodes these tones
  std::size_t next = 0;
  for (auto _ : state) {
    processor.CaptureBlock(TWaveMessage::Data, blocks[next]);
    QCoreApplication::processEvents();
    next = 1 - next;
  }
  state.counters["keys per block"] =
      static_cast<double>(keys) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CapturedBlockToKey)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvok

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
