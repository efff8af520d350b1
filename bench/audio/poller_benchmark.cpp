// CPU time of the level poller per hour of operation, with two bound peak meters, on the virtual
// sound card and on a private PulseAudio server. Prints the poller thread's share and the whole
// process's (back-end threads included); for PulseAudio also the server's.
//   tarvok_poller_benchmark [SECONDS]
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "core/audio/level_poller.h"
#include "core/audio/sound_card.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "platform/virtual/virtual_sound_backend.h"
#include "support/pulse_test_server.h"
#include "thread_cpu.h"

namespace tarvok {
namespace {

struct TFigures {
  double Poller = 0.0;
  double Process = 0.0;
  double Server = 0.0;
};

void BindMeter(TSoundCard& card, int line) {
  const int object = card.AddMixerControl();
  card.BindMixerControl(object, line, card.FindControl(line, kControlPeakMeter), true);
}

TFigures Measure(TSoundCard& card, int lineA, int lineB, int seconds,
                 const QList<qint64>& serverPids) {
  BindMeter(card, lineA);
  BindMeter(card, lineB);
  TLevelPoller levelPoller(card);
  levelPoller.SetVoxIndex(0);
  levelPoller.SetOtherIndex(1);
  const qint64 self = QCoreApplication::applicationPid();
  const double process0 = CpuSeconds(self);
  const double server0 = CpuSeconds(serverPids);
  levelPoller.Start();
  WaitUntil([] { return false; }, seconds * 1000);
  const double poller = CpuSeconds(self, "tarvok-poller");
  levelPoller.Terminate();
  const double scale = 3600.0 / seconds;
  return {poller * scale, (CpuSeconds(self) - process0) * scale,
          (CpuSeconds(serverPids) - server0) * scale};
}

}  // namespace
}  // namespace tarvok

int main(int argc, char* argv[]) {
  using namespace tarvok;
  QCoreApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 30;

  TScenario scenario;
  QString error;
  TScenario::Parse("0 rx tone 1000 -10\n0 pc noise -20\n", {}, scenario, error);
  auto virtualBackend = std::make_unique<TVirtualSoundBackend>(std::move(scenario));
  virtualBackend->StartRealTime();
  TFigures v;
  {
    TSoundCard card(std::move(virtualBackend));
    v = Measure(card, 3, 1, seconds, {});
  }
  std::printf("virtual card, %d s: poller %.2f s CPU per hour, whole process %.2f s per hour\n",
              seconds, v.Poller, v.Process);

  TPulseTestServer server;
  if (!server.Start(error)) {
    std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
    return 1;
  }
  auto pulse = std::make_unique<TPulseSoundBackend>();
  pulse->WaitUntilReady(10000);
  TSoundCard card(std::move(pulse));
  QProcess player;
  QTemporaryDir dir;
  WriteToneWav(dir.filePath("tone.wav"), 1000, -10, seconds + 5.0);
  server.Play(player, "rx", dir.filePath("tone.wav"));
  const TFigures p = Measure(card, card.LineIndexOfKey("rx"), card.LineIndexOfKey("tx"), seconds,
                             server.ProcessIds());
  player.kill();
  player.waitForFinished();
  std::printf(
      "PulseAudio, %d s: poller %.2f s CPU per hour, whole process %.2f s per hour, "
      "server %.2f s per hour (a tone playing into one sink)\n",
      seconds, p.Poller, p.Process, p.Server);
  return 0;
}
