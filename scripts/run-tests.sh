#!/usr/bin/env bash
# Installs what is missing, builds Veskaro with warnings as errors and runs the
# whole test suite. With --sanitize the suite is built and run under
# AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/; with
# --tsan only the tests of reading servers side by side are built and run under
# ThreadSanitizer, in build-tsan/. Both sanitizer builds use clang.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-config.sh
if [ "${1:-}" = "--sanitize" ] || [ "${1:-}" = "--tsan" ]; then
  bash scripts/install-deps.sh "${veskaro_sanitizer_packages[@]}"
else
  bash scripts/install-deps.sh
fi
build=$veskaro_build
compiler=
flags=("${veskaro_build_options[@]}")
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  compiler=clang++-14
  flags=(-G Ninja "${veskaro_sanitizer_compiler[@]}" -DCMAKE_BUILD_TYPE=Debug -DVESKARO_WERROR=ON -DVESKARO_SANITIZE=ON
    -DVESKARO_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
if [ "${1:-}" = "--tsan" ]; then
  # The concurrency tests alone (tests/CMakeLists.txt lists them; they carry
  # the ctest label "concurrency" and are built as one executable).
  reset_foreign_build build-tsan clang++-14
  cmake -S . -B build-tsan -G Ninja "${veskaro_sanitizer_compiler[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVESKARO_WERROR=ON -DVESKARO_TSAN=ON -DVESKARO_BUILD_BENCH=OFF >/dev/null
  cmake --build build-tsan -j"$(nproc)" --target veskaro_concurrency_tests
  # A process started while threads run goes on (the checker would stop it).
  export TSAN_OPTIONS="halt_on_error=1 die_after_fork=0 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp"
  # Qt's own threads then run its plain event loop rather than GLib's.
  export QT_NO_GLIB=1
  cd build-tsan
  # The thread checker needs the address layout it expects: without address
  # randomization where the kernel's randomization is wider than it allows.
  run=()
  if command -v setarch >/dev/null && setarch "$(uname -m)" -R true 2>/dev/null; then
    run=(setarch "$(uname -m)" -R)
  fi
  QT_QPA_PLATFORM=offscreen "${run[@]}" ctest --output-on-failure -L concurrency
  exit
fi
reset_foreign_build "$build" "$compiler"
cmake -S . -B "$build" "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
