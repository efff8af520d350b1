#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the station needs.
set -euo pipefail
source "$(dirname "$0")/lib/apt.sh"
apt_get update
apt_get install --no-install-recommends \
  ca-certificates cmake ninja-build g++ pkg-config clang-format \
  qt6-base-dev qt6-serialport-dev libgl-dev \
  libgtest-dev libgmock-dev sox \
  libpulse-dev pulseaudio pulseaudio-utils desktop-file-utils xvfb xdotool \
  libasound2-dev libasound2-plugins alsa-utils \
  qt6-httpserver-dev qt6-websockets-dev libsodium-dev
