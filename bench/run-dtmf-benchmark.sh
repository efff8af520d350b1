#!/usr/bin/env bash
# Builds tarvok-dtmf and the decoding benchmark, generates the labelled corpus, scores both
# decoders of tarvok-dtmf and multimon-ng on it and writes docs/benchmarks.md. Takes a quarter
# of an hour.
set -euo pipefail
cd "$(dirname "$0")/.."
bench/install-bench-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVOK_BUILD_TESTS=OFF \
  -DTARVOK_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench --target tarvok-dtmf tarvok_dtmf_benchmark
python3 bench/dtmf_corpus.py --decoder build/bench/tools/tarvok-dtmf \
  --benchmark build/bench/bench/tarvok_dtmf_benchmark --work build/bench/corpus \
  --report docs/benchmarks.md
