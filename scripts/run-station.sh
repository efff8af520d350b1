#!/usr/bin/env bash
# Installs what the station needs, builds it and starts it; options are passed to tarvok.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVOK_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target tarvok
exec build/release/src/app/tarvok --headless "$@"
