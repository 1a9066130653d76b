# The one configuration of the build folder, sourced by run-demo.sh,
# run-tests.sh, run-bench.sh and build-deb.sh. They share the folder and its
# options, so whichever runs second reuses what the first compiled. Ninja
# builds; ccache (when installed) keeps what was compiled for the next build
# folder or run. Benchmarks are built only by run-bench.sh.
veskaro_build=build
veskaro_build_options=(-G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DVESKARO_WERROR=ON -DVESKARO_BUILD_BENCH=OFF)

# The sanitizer builds use clang: it compiles this code with AddressSanitizer
# in about a third of the time GCC takes, and its sanitizers are the reference.
veskaro_sanitizer_compiler=(-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
veskaro_sanitizer_packages=(clang-14 libclang-rt-14-dev)

# A build folder made by another generator or for another compiler cannot be
# reused: it is emptied. reset_foreign_build <folder> [compiler]
reset_foreign_build() {
  local folder=$1 compiler=${2:-}
  [ -f "$folder/CMakeCache.txt" ] || return 0
  if ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$folder/CMakeCache.txt" ||
    { [ -n "$compiler" ] && ! grep -q "^CMAKE_CXX_COMPILER:[A-Z]*=\(.*/\)\?$compiler\$" "$folder/CMakeCache.txt"; }; then
    echo "Rebuilding $folder"
    rm -rf "$folder"
  fi
}

configure_build() {
  reset_foreign_build "$veskaro_build"
  cmake -S . -B "$veskaro_build" "${veskaro_build_options[@]}" "$@" >/dev/null
}
