#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (build folder build-fuzz) and runs each on its
# seed corpus for the given number of seconds (default 60), as many targets at
# once as there are cores. New inputs go to a scratch folder, the committed
# seeds stay as they are. A crash, a leak, a sanitizer report or a broken
# round trip stops that target, makes the run end with status 1 and leaves
# the input in build-fuzz/findings/.
#
#   scripts/run-fuzz.sh [seconds per target] [target...]
#
# With VESKARO_FUZZ_RUNS set, each target instead runs exactly that many
# inputs from a fixed seed, so a run can be repeated input for input (CI does
# this: a finding then fails every run, not one run in many).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(fuzz_regfile fuzz_network fuzz_records fuzz_decoders fuzz_stored_values fuzz_text)

bash scripts/install-deps.sh clang-14 libclang-rt-14-dev
source scripts/build-config.sh
reset_foreign_build build-fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESKARO_FUZZ=ON \
  -DVESKARO_BUILD_TESTS=OFF -DVESKARO_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
limit=(-max_total_time="$seconds")
if [ -n "${VESKARO_FUZZ_RUNS:-}" ]; then
  limit=(-seed=1 -runs="$VESKARO_FUZZ_RUNS")
fi
mkdir -p build-fuzz/findings
# The targets run side by side, one per core: each still runs its own inputs
# from its own seed, so a run repeats input for input. Each writes its log to
# build-fuzz/<target>.log; the results are shown in the order of the targets.
run_target() {
  local target=$1 scratch
  scratch=$(mktemp -d)
  local result=0
  QT_QPA_PLATFORM=offscreen "build-fuzz/fuzz/$target" "$scratch" "fuzz/corpus/$target" \
    "${limit[@]}" -max_len=65536 -timeout=20 -rss_limit_mb=2560 \
    -artifact_prefix="build-fuzz/findings/$target-" -print_final_stats=1 2>"build-fuzz/$target.log" || result=1
  rm -rf "$scratch"
  return $result
}
jobs_at_once=$(nproc)
declare -A pid_of
for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs_at_once)); do
    wait -n || true
  done
  run_target "$target" &
  pid_of[$target]=$!
done
status=0
for target in "${targets[@]}"; do
  if [ -n "${VESKARO_FUZZ_RUNS:-}" ]; then
    echo "== $target: $VESKARO_FUZZ_RUNS inputs"
  else
    echo "== $target: ${seconds}s"
  fi
  if ! wait "${pid_of[$target]}"; then
    status=1
    tail -n 60 "build-fuzz/$target.log"
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "build-fuzz/$target.log" || true
done
exit $status
