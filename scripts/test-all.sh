#!/usr/bin/env bash
# Installs what the tests need, checks the formatting, builds and runs the whole test suite:
# once as a release build and once under AddressSanitizer and UndefinedBehaviorSanitizer; then
# replays the fuzz targets' corpora and a fixed run of each, the same inputs every time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Only the tests need these: PipeWire's PulseAudio server (an operator's desktop keeps its own
# sound server) and clang with its libFuzzer runtime for the fuzz targets.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
  pipewire pipewire-pulse wireplumber dbus clang libclang-rt-dev >/dev/null
scripts/check-format.sh

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
  ctest --test-dir "$dir" --output-on-failure -j2
}

run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DTARVOK_SANITIZE=ON

scripts/run-fuzzers.sh --replay 2000
echo "all tests passed"
