#!/usr/bin/env bash
# Installs what the station needs, builds it and starts it: with its window when a display is
# there, headless otherwise; options are passed to tarvok. Without options it runs the demo
# station in build/demo-station: on the PulseAudio server when one answers, else on the virtual
# sound card with a receiver that hears a transmission a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVOK_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target tarvok
tarvok=build/release/src/app/tarvok
run=("$tarvok")
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || run+=(--headless)
if [ $# -gt 0 ]; then
  exec "${run[@]}" "$@"
fi
home=build/demo-station
mkdir -p "$home"
[ -e "$home/tarvok.ini" ] || cp demo/tarvok.ini "$home/tarvok.ini"
if "$tarvok" --list-audio --audio pulse >/dev/null 2>&1; then
  audio=pulse
else
  audio=virtual:demo/simplex.scenario
fi
echo "Demo station in $home on $audio; Ctrl-C stops it."
exec "${run[@]}" --home "$home" --audio "$audio"
