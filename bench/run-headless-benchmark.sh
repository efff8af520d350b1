#!/usr/bin/env bash
# Builds the station and measures it headless: CPU and memory idle in Simplex Repeater mode for
# 10 minutes on the virtual card and on private PulseAudio and PipeWire servers, then the delay
# from a receiver tone to the transmitter keyed in Internet Repeater mode. Takes about 15 minutes; options are
# passed to bench/headless_station.py (--idle-seconds, --tries, --start-delays).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if ! command -v python3 >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends python3 >/dev/null
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVOK_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target tarvok
exec python3 bench/headless_station.py --tarvok build/release/src/app/tarvok "$@"
