// The delay from a tone starting on a PulseAudio sink to the level poller's flag turning on, with
// StartDelay 10 ms: 20 tries on a private server; prints the median and the worst. The tone is
// played by a playback stream of this program; its start on the sink is the moment its first
// sample was written plus the stream's latency at that moment.
//   tarvok_tone_delay_benchmark [TRIES]
#include <pulse/simple.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <thread>
#include <vector>

#include "core/audio/level_poller.h"
#include "core/audio/sound_card.h"
#include "core/common/level_conversion.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "support/pulse_test_server.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 8000;
constexpr int kChunk = kRate / 100;  // 10 ms

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
      .count();
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace tarvok;
  QCoreApplication app(argc, argv);
  const int tries = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
  TPulseTestServer server;
  QString error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
    return 1;
  }
  auto backend = std::make_unique<TPulseSoundBackend>();
  backend->WaitUntilReady(10000);
  TSoundCard card(std::move(backend));
  const int line = card.LineIndexOfKey("rx");
  const int meter = card.AddMixerControl();
  card.BindMixerControl(meter, line, card.FindControl(line, kControlPeakMeter), true);
  card.MixerControls().Items(meter).SetAveragingMode(1);
  TLevelPoller poller(card);
  poller.SetVoxIndex(meter);
  poller.SetVoxThreshold(DecibelsToLevel(61));
  poller.SetVoxOnDelay(10);
  poller.SetVoxOffDelay(50);
  poller.Reset();
  poller.Start();

  std::atomic<std::int64_t> toneStart{0};
  std::atomic<bool> done{false};
  std::thread writer([&] {
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, kRate, 1};
    pa_buffer_attr attr{static_cast<std::uint32_t>(-1), kChunk * 4, static_cast<std::uint32_t>(-1),
                        static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1)};
    int err = 0;
    pa_simple* stream = pa_simple_new(nullptr, "tone delay", PA_STREAM_PLAYBACK, "rx", "tone",
                                      &sampleFormat, nullptr, &attr, &err);
    if (stream == nullptr) {
      done = true;
      return;
    }
    std::vector<std::int16_t> silence(kChunk, 0);
    std::vector<std::int16_t> tone(kChunk);
    for (int t = 0; t < tries; ++t) {
      for (int i = 0; i < 40; ++i)
        pa_simple_write(stream, silence.data(), silence.size() * 2, &err);
      for (int i = 0; i < 40; ++i) {
        for (int s = 0; s < kChunk; ++s)
          tone[static_cast<std::size_t>(s)] = static_cast<std::int16_t>(
              10000 * std::sin(2 * std::numbers::pi * 1000 * (i * kChunk + s) / kRate));
        if (i == 0)
          toneStart = Now() + static_cast<std::int64_t>(pa_simple_get_latency(stream, &err));
        pa_simple_write(stream, tone.data(), tone.size() * 2, &err);
      }
    }
    pa_simple_drain(stream, &err);
    pa_simple_free(stream);
    done = true;
  });

  std::vector<double> delays;
  bool was = poller.VoxPresent();
  while (!done) {
    const bool present = poller.VoxPresent();
    if (present && !was && toneStart.load() > 0)
      delays.push_back(static_cast<double>(Now() - toneStart.load()) / 1000.0);
    was = present;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  writer.join();
  poller.Terminate();
  if (delays.empty()) {
    std::fprintf(stderr, "the flag never turned on\n");
    return 1;
  }
  std::sort(delays.begin(), delays.end());
  std::printf(
      "tone start on a PulseAudio sink to the poller's flag, StartDelay 10 ms, %zu tries: "
      "median %.1f ms, best %.1f ms, worst %.1f ms\n",
      delays.size(), delays[delays.size() / 2], delays.front(), delays.back());
  return 0;
}
