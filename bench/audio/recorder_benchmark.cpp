// The record thread on a private PulseAudio server: the CPU time of recording (a tone played into
// a null sink, captured from its monitor into a WAV recording) and of playback (a long WAV file
// played to another null sink) per minute of audio, and the gaps heard in that playback, counted
// from what the sink's monitor recorded: 10 ms stretches within the tone whose peak falls below
// half the tone's.
//   tarvok_recorder_benchmark [PLAY_SECONDS [RECORD_SECONDS]]   (600 and 60 by default)
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdio>

#include "core/audio/record_thread.h"
#include "core/common/clock.h"
#include "core/common/user_messages.h"
#include "core/config/config.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "support/pulse_test_server.h"
#include "thread_cpu.h"

namespace tarvok {
namespace {

constexpr int kRate = 8000;

class TPrintedMessages final : public TUserMessages {
 public:
  void ShowError(const QString& message) override {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
};

class TFinished final : public TRecorderEvents {
 public:
  void OnRecordStart(bool) override {}
  void OnRecordStop() override {}
  void OnPlayStart() override {}
  void OnPlayFinished() override { Done = true; }
  bool Done = false;
};

struct TGaps {
  double ToneSeconds = 0.0;
  int Gaps = 0;   // runs of quiet 10 ms windows
  int GapMs = 0;  // their total length
};

TGaps CountGaps(const QByteArray& raw) {
  std::vector<int> peaks;
  const qsizetype window = kRate / 100 * 2;
  for (qsizetype w = 0; w + window <= raw.size(); w += window) {
    int peak = 0;
    for (qsizetype i = w; i < w + window; i += 2)
      peak = std::max(
          peak, std::abs(static_cast<int>(qFromLittleEndian<std::int16_t>(raw.constData() + i))));
    peaks.push_back(peak);
  }
  const int tonePeak = peaks.empty() ? 0 : *std::max_element(peaks.begin(), peaks.end());
  const auto loud = [&](int p) { return p >= tonePeak / 2; };
  const auto first = std::find_if(peaks.begin(), peaks.end(), loud);
  const auto last = std::find_if(peaks.rbegin(), peaks.rend(), loud).base();
  TGaps gaps;
  bool inGap = false;
  for (auto it = first; it < last; ++it) {
    gaps.ToneSeconds += 0.01;
    const bool quiet = !loud(*it);
    gaps.Gaps += quiet && !inGap;
    gaps.GapMs += quiet ? 10 : 0;
    inGap = quiet;
  }
  return gaps;
}

}  // namespace
}  // namespace tarvok

int main(int argc, char* argv[]) {
  using namespace tarvok;
  QCoreApplication app(argc, argv);
  const int playSeconds = argc > 1 ? std::max(1, atoi(argv[1])) : 600;
  const int recordSeconds = argc > 2 ? std::max(1, atoi(argv[2])) : 60;
  TPulseTestServer server;
  QString error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
    return 1;
  }
  server.Run("pactl", {"set-default-source", "rx.monitor"});
  server.Run("pactl", {"set-default-sink", "tx"});
  QTemporaryDir dir;
  TStationFolder folder(dir.path());
  TSystemClock clock;
  TPrintedMessages messages;
  TConfig config(folder, clock, messages);
  config.SetLogEnabled(true);
  TPulseSoundBackend backend;
  backend.WaitUntilReady(10000);
  TRecordThread thread(backend, messages, config, clock);
  TFinished finished;
  thread.SetEvents(&finished);
  thread.Recorder().SetRecordingFormat(1, 1, kRate, 16, 4096);
  const qint64 self = QCoreApplication::applicationPid();

  QProcess player;
  WriteToneWav(dir.filePath("rx.wav"), 1000, -6, recordSeconds + 10.0);
  thread.StartRecord(true);
  WaitUntil([&] { return thread.TotalRecorded() > 0; }, 10000);
  server.Play(player, "rx", dir.filePath("rx.wav"));
  const double recordCpu0 = CpuSeconds(self);
  const std::int64_t recorded0 = thread.BytesWritten();
  WaitUntil([] { return false; }, recordSeconds * 1000);
  const double recordCpu = CpuSeconds(self) - recordCpu0;
  const double recordedSeconds =
      static_cast<double>(thread.BytesWritten() - recorded0) / (kRate * 2);
  thread.StopRecord();
  player.kill();
  player.waitForFinished();

  QProcess monitor;
  server.Record(monitor, "tx.monitor");
  WaitUntil([&] { return monitor.bytesAvailable() > 0; }, 10000);
  WriteToneWav(dir.filePath("long.wav"), 1000, -6, playSeconds);
  config.SetWAVFile(7, dir.filePath("long.wav"));
  const double playCpu0 = CpuSeconds(self);
  const double serverCpu0 = CpuSeconds(server.ProcessIds());
  if (!thread.Play(7))
    return 1;
  WaitUntil([&] { return finished.Done; }, (playSeconds + 30) * 1000);
  const double playCpu = CpuSeconds(self) - playCpu0;
  const double serverCpu = CpuSeconds(server.ProcessIds()) - serverCpu0;
  WaitUntil([] { return false; }, 500);
  const TGaps gaps = CountGaps(monitor.readAllStandardOutput());
  monitor.kill();
  monitor.waitForFinished();

  std::printf("recording, %.0f s of 8000 Hz 16-bit mono: %.2f s CPU per minute of audio\n",
              recordedSeconds, recordCpu * 60.0 / recordedSeconds);
  std::printf(
      "playback, %d s file: %.2f s CPU per minute of audio (sound server %.2f s); "
      "tone heard for %.2f s, %d gaps, %d ms in all\n",
      playSeconds, playCpu * 60.0 / playSeconds, serverCpu * 60.0 / playSeconds, gaps.ToneSeconds,
      gaps.Gaps, gaps.GapMs);
  return 0;
}
