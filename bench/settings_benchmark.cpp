// Loading the settings at start-up from a file that holds many sections: the beacon and schedule
// lists look up every key of every numbered section, so each look-up must not read or scan the
// whole file again.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "core/common/clock.h"
#include "core/common/user_messages.h"
#include "core/config/config.h"

namespace tarvok {
namespace {

class TNoMessages final : public TUserMessages {
 public:
  void ShowError(const QString&) override {}
};

// Both lists claim as many items as there are sections, none of which holds a key: every
// look-up misses, the dearest case for a search through the file.
void BM_LoadManySections(benchmark::State& state) {
  const auto sections = state.range(0);
  QTemporaryDir dir;
  const TStationFolder folder(dir.path());
  QByteArray content = "[BeaconGeneral]\nCount=" + QByteArray::number(sections) +
                       "\n[ScheduleGeneral]\nCount=" + QByteArray::number(sections) + "\n";
  for (qint64 i = 0; i < sections; ++i)
    content += "[s]\n";
  QFile file(folder.SettingsFile());
  if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
    state.SkipWithError("cannot write the settings file");
  file.close();
  const TManualClock clock(QDateTime(QDate(2026, 12, 5), QTime(7, 0)));
  TNoMessages quiet;
  for (auto _ : state) {
    TConfig config(folder, clock, quiet);
    benchmark::DoNotOptimize(config.Beacons().Count());
  }
  state.counters["file bytes"] = static_cast<double>(content.size());
}
BENCHMARK(BM_LoadManySections)
    ->ArgName("sections")
    ->Arg(400)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvok

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
