#!/usr/bin/env bash
# Installs what is missing, builds Veskaro with warnings as errors and runs the
# whole test suite. With --sanitize the suite is built and run under
# AddressSanitizer and UndefinedBehaviorSanitizer in a separate build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
source scripts/build-config.sh
build=$veskaro_build
flags=("${veskaro_build_options[@]}")
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  flags=(-G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESKARO_WERROR=ON -DVESKARO_SANITIZE=ON -DVESKARO_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
reset_foreign_build "$build"
cmake -S . -B "$build" "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
