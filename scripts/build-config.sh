# The one configuration of the build folder, sourced by run-demo.sh,
# run-tests.sh and build-deb.sh. They share the folder and its options, so
# whichever runs second reuses what the first compiled.
veskaro_build=build
veskaro_build_options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESKARO_WERROR=ON)

configure_build() {
  cmake -S . -B "$veskaro_build" "${veskaro_build_options[@]}" "$@" >/dev/null
}
