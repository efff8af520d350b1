// The time the DTMF chain takes for one 2048-sample block (256 ms of audio at 8000 samples per
// second): the frame decoder, the transform alone, the block detector, and the equalizer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "core/dtmf/digital_filter.h"
#include "core/dtmf/dtmf_frame_decoder.h"

namespace {

// Key 5 (770 Hz and 1336 Hz) at half scale, so every stage does its ordinary work.
void FillWithKey5(tarvok::TFourier::TBlock& block) {
  for (int n = 0; n < tarvok::TFourier::kSize; ++n) {
    const double t = 2 * std::numbers::pi * n / tarvok::TDtmfDetector::kSampleRate;
    block[n] = static_cast<std::int32_t>(8000 * (std::sin(770 * t) + std::sin(1336 * t)));
  }
}

void BM_FrameDecoderBlock(benchmark::State& state) {
  tarvok::TDtmfFrameDecoder decoder;
  tarvok::TFourier::TBlock samples{};
  FillWithKey5(samples);
  std::vector<tarvok::TDtmfFrameDecoder::TKey> keys;
  for (auto _ : state) {
    decoder.Process(samples, keys);
    keys.clear();
  }
}
BENCHMARK(BM_FrameDecoderBlock)->Unit(benchmark::kMicrosecond);

void BM_FourierTransform(benchmark::State& state) {
  tarvok::TFourier fourier;
  tarvok::TFourier::TBlock samples{};
  tarvok::TFourier::TBlock levels{};
  FillWithKey5(samples);
  for (auto _ : state) {
    fourier.Transform(&samples, &levels);
    benchmark::DoNotOptimize(levels.data());
  }
}
BENCHMARK(BM_FourierTransform)->Unit(benchmark::kMicrosecond);

void BM_DetectorBlock(benchmark::State& state) {
  tarvok::TDtmfDetector detector;
  FillWithKey5(detector.Samples());
  for (auto _ : state) {
    detector.Process();
    benchmark::DoNotOptimize(detector.Decode());
  }
}
BENCHMARK(BM_DetectorBlock)->Unit(benchmark::kMicrosecond);

void BM_EqualizerBlock(benchmark::State& state) {
  tarvok::TDigitalFilter filter;
  filter.SetGainStep(2, 3);
  FillWithKey5(filter.Samples());
  for (auto _ : state) {
    filter.Filter();
    benchmark::DoNotOptimize(filter.Decode());
  }
}
BENCHMARK(BM_EqualizerBlock)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
