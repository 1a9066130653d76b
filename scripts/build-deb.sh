#!/usr/bin/env bash
# Builds the Debian package build/veskaro_<version>_<arch>.deb from the shared
# build folder (what run-demo.sh or run-tests.sh compiled is reused), lists its
# contents and dependencies, and checks that the packaged programs start.
# Install it with:  sudo apt install ./build/veskaro_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
# dpkg-shlibdeps (dpkg-dev) computes the dependencies; CPack finds the
# programs with file.
bash scripts/install-deps.sh dpkg-dev file
source scripts/build-config.sh
configure_build
cmake --build "$veskaro_build" -j"$(nproc)" --target veskaro veskaro-report
rm -f "$veskaro_build"/veskaro_*.deb
(cd "$veskaro_build" && cpack -G DEB >/dev/null)
deb=$(ls "$veskaro_build"/veskaro_*.deb)

echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Section Maintainer Depends Recommends
echo "== contents"
dpkg-deb --contents "$deb" | awk '$6 !~ /\/$/ { print $6 }'

# The packaged programs start: unpacked into a scratch folder, run offscreen
# on the demo network with a scratch settings file.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb --extract "$deb" "$scratch/root"
export QT_QPA_PLATFORM=offscreen VESKARO_SETTINGS="$scratch/settings.reg" XDG_RUNTIME_DIR="$scratch"
report="$scratch/root/usr/bin/veskaro-report"
version=$(dpkg-deb --field "$deb" Version)
[ "$("$report" --version)" = "veskaro-report $version" ] || { echo "veskaro-report --version does not say $version" >&2; exit 1; }
first=$("$report" servers | head -n 1)
"$report" info "$first" >/dev/null
# The desktop program keeps running until it is closed: still running after
# a few seconds means it started.
status=0
timeout 5 "$scratch/root/usr/bin/veskaro" || status=$?
[ "$status" -eq 124 ] || { echo "veskaro ended at start with status $status" >&2; exit 1; }
echo "== the packaged veskaro and veskaro-report start"
