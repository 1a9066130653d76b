#!/usr/bin/env bash
# Builds the benchmarks in the shared build folder (Release at -O2, as their
# figures need) and runs the named ones, or lists them. They print their
# figures; none of them is a test.
#
#   scripts/run-bench.sh                 # lists the benchmarks
#   scripts/run-bench.sh bench_nlms ...  # builds and runs these, one after another
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
source scripts/build-config.sh
configure_build -DVESKARO_BUILD_BENCH=ON
if (($# == 0)); then
  echo "Benchmarks (scripts/run-bench.sh NAME...):"
  ls bench/bench_*.cpp | sed 's|bench/||; s|\.cpp$||; s|^|  |'
  exit 0
fi
cmake --build "$veskaro_build" -j"$(nproc)" --target "$@"
for bench in "$@"; do
  echo "== $bench"
  QT_QPA_PLATFORM=offscreen "$veskaro_build/bench/$bench"
done
