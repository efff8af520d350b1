#!/usr/bin/env bash
# Installs what the tests need, checks the formatting, builds and runs every suite: a release
# build and a build under AddressSanitizer and UndefinedBehaviorSanitizer, then a replay of the
# fuzz targets' corpora and a fixed run of each (the same inputs every time), and last the Debian
# package: built, installed, run and purged. A suite that finds no tests fails the command; the
# end names the count of each suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Only the tests need these: PipeWire's PulseAudio server (an operator's desktop keeps its own
# sound server), clang with its libFuzzer runtime for the fuzz targets, systemd and man-db for
# checking the installed unit and the manual page it names, and openssl and a headless Chromium
# for the web console's HTTPS and browser tests.
source scripts/lib/apt.sh
apt_get install pipewire pipewire-pulse wireplumber dbus clang libclang-rt-dev systemd man-db \
  openssl chromium chromium-driver python3-selenium
# The package suite installs and purges the package; the suites before it must never meet it.
if dpkg-query -W -f '${Status}' tarvok 2>/dev/null | grep -q ' installed$'; then
  echo "test-all: the package tarvok is installed here; the package suite installs and purges it:" \
    "remove it first (apt-get purge tarvok)" >&2
  exit 1
fi
scripts/check-format.sh

summary=()
# Runs the tests of a configured build; fails when there are none, as a build configured without
# them would otherwise pass in silence.
run_tests() {
  local name=$1 dir=$2 log=$2/ctest.log count pipewire
  ctest --test-dir "$dir" --output-on-failure --no-tests=error -j2 2>&1 | tee "$log" || return 1
  count=$(sed -n 's/.* tests failed out of \([0-9][0-9]*\)$/\1/p' "$log")
  if [ -z "$count" ] || [ "$count" -eq 0 ]; then
    echo "test-all: no tests ran in $dir" >&2
    return 1
  fi
  pipewire=$(ctest --test-dir "$dir" -N -R '^PipeWire\.' | sed -n 's/^Total Tests: //p')
  summary+=("$name: $count tests passed, $pipewire of them on PipeWire")
}
# Every option that matters is stated, whatever an earlier configure left in the cache.
run_suite() {
  local name=$1 dir=$2
  shift 2
  cmake -S . -B "$dir" -G Ninja -DTARVOK_BUILD_TESTS=ON -DTARVOK_SANITIZE=OFF -DTARVOK_TSAN=OFF \
    -DTARVOK_FUZZ=OFF -DTARVOK_BUILD_BENCHMARKS=OFF "$@" >/dev/null
  cmake --build "$dir"
  run_tests "$name" "$dir"
}

# The check of the check: a build without tests must fail, not pass as the release suite once did.
cmake -S . -B build/no-tests -G Ninja -DTARVOK_BUILD_TESTS=OFF >/dev/null
if run_tests "no tests" build/no-tests >/dev/null 2>&1; then
  echo "test-all: a build without tests passed as a suite" >&2
  exit 1
fi

run_suite "release build (build/release)" build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite "sanitizer build (build/asan)" build/asan -DCMAKE_BUILD_TYPE=Debug -DTARVOK_SANITIZE=ON

scripts/run-fuzzers.sh --replay 2000 | tee build/fuzz-replay.log
summary+=("fuzz replay: $(tail -n 1 build/fuzz-replay.log)")

# Last: nothing that runs after it may find the installed programs, and it removes them again.
scripts/test-package.sh | tee build/package-test.log
summary+=("package: $(tail -n 1 build/package-test.log)")

echo
echo "All suites passed:"
printf '  %s\n' "${summary[@]}"
