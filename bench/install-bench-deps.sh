#!/usr/bin/env bash
# Installs what the DTMF benchmark needs on top of scripts/install-deps.sh: Google Benchmark for
# the transform timings, sox and espeak-ng for the corpus, multimon-ng as the decoder to compare.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  libbenchmark-dev sox espeak-ng multimon-ng python3 >/dev/null
