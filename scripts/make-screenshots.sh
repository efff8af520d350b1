#!/usr/bin/env bash
# Remakes the README's pictures of the window: the demo station on the virtual card under Xvfb,
# the main window while the demo's transmission is recorded, and the upper trace's source page.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/apt.sh
scripts/install-deps.sh
apt_get install --no-install-recommends xvfb xdotool imagemagick x11-utils fonts-dejavu-core
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release --target tarvok

home=$(mktemp -d)
trap 'kill "${station:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$home"' EXIT
cp demo/tarvok.ini "$home/tarvok.ini"
Xvfb :97 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:97
sleep 1
build/release/src/app/tarvok --home "$home" --audio virtual:demo/simplex.scenario >/dev/null &
station=$!
window=$(xdotool search --sync --onlyvisible --name 'Repeater' | head -1)
mkdir -p docs/images
# The scenario's transmission starts 8 s after the start: shown while it is recorded.
sleep 10
import -window "$window" docs/images/main-window.png
# The "Upper Trace" tab of the General page.
xdotool mousemove --window "$window" 289 105 click 1
sleep 1
import -window "$window" docs/images/trace-source.png
echo "docs/images/main-window.png and docs/images/trace-source.png made"
