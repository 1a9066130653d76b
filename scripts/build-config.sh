# The one configuration of the build folder, sourced by run-demo.sh,
# run-tests.sh, run-bench.sh and build-deb.sh. They share the folder and its
# options, so whichever runs second reuses what the first compiled. Ninja
# builds; ccache (when installed) keeps what was compiled for the next build
# folder or run. Benchmarks are built only by run-bench.sh.
veskaro_build=build
veskaro_build_options=(-G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DVESKARO_WERROR=ON -DVESKARO_BUILD_BENCH=OFF)

# A build folder made by another generator cannot be reused: it is emptied.
reset_foreign_build() {
  local folder=$1
  if [ -f "$folder/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$folder/CMakeCache.txt"; then
    echo "Rebuilding $folder with Ninja"
    rm -rf "$folder"
  fi
}

configure_build() {
  reset_foreign_build "$veskaro_build"
  cmake -S . -B "$veskaro_build" "${veskaro_build_options[@]}" "$@" >/dev/null
}
