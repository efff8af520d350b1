#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build/fuzz) and runs them one after another at low priority.
#
#   scripts/run-fuzzers.sh SECONDS [TARGET...]   fuzz each target for SECONDS, starting from its
#                                                corpus in fuzz/corpus/TARGET; new inputs are kept
#                                                in build/fuzz/corpus, findings in build/fuzz/findings
#   scripts/run-fuzzers.sh --replay RUNS         run each input of the corpora once, then RUNS
#                                                inputs per target from seed 1: the same every time
#
# TARGET is a name such as wav_reader_fuzzer; without one, every target runs.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: $0 SECONDS [TARGET...] | $0 --replay RUNS" >&2
  exit 2
}
[ $# -ge 1 ] || usage
mode=fuzz
if [ "$1" = "--replay" ]; then
  mode=replay
  shift
  [ $# -eq 1 ] || usage
fi
amount=$1
shift
[[ $amount =~ ^[0-9]+$ ]] || usage

all_targets=(settings_file_fuzzer schedule_lists_fuzzer remote_command_fuzzer wav_reader_fuzzer
  scenario_fuzzer time_expression_fuzzer recording_name_fuzzer)
targets=("${@:-${all_targets[@]}}")

build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTARVOK_FUZZ=ON -DTARVOK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
findings=$build/findings
logs=$build/logs
mkdir -p "$findings" "$logs"
failed=()
replayed=0
# Runs a fuzzer with its log in $logs; on a failure the log's end is shown.
run() {
  local target=$1 log=$logs/$1.log
  shift
  if nice -n 10 "$build/fuzz/$target" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/$target-" "$@" >"$log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "$log" || true
  else
    tail -n 30 "$log"
    failed+=("$target")
  fi
}
for target in "${targets[@]}"; do
  corpus=fuzz/corpus/$target
  if [ "$mode" = replay ]; then
    echo "== $target: the $(find "$corpus" -type f | wc -l) inputs of its corpus, then $amount runs from seed 1"
    mapfile -d '' inputs < <(find "$corpus" -type f -print0)
    replayed=$((replayed + ${#inputs[@]}))
    run "$target" "${inputs[@]}"
    work=$(mktemp -d)
    run "$target" -seed=1 -runs="$amount" -print_final_stats=1 "$work" "$corpus"
    rm -rf "$work"
  else
    echo "== $target: $amount s"
    mkdir -p "$build/corpus/$target"
    run "$target" -max_total_time="$amount" -print_final_stats=1 "$build/corpus/$target" "$corpus"
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets that failed: ${failed[*]} (inputs in $findings, logs in $logs)" >&2
  exit 1
fi
if [ "$mode" = replay ]; then
  echo "${#targets[@]} fuzz targets passed: $replayed corpus inputs, then $amount runs each"
else
  echo "${#targets[@]} fuzz targets passed"
fi
