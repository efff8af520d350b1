#!/usr/bin/env bash
# Soak run of the headless station on the virtual card, not part of CI: Simplex Repeater mode with
# a transmission every 20 s for an hour (or --minutes N); checks that every cycle completes and
# that memory and open file descriptors stay flat.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release --target tarvok
exec python3 bench/soak_station.py --tarvok build/release/src/app/tarvok "$@"
