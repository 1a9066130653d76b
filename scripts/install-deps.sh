#!/usr/bin/env bash
# Installs the Debian packages Veskaro builds with, when any is missing.
# Further packages named as arguments are installed too (build-deb.sh adds
# its tools, the fuzzing build clang and its runtime).
set -euo pipefail
packages=(build-essential cmake ninja-build ccache lld qt6-base-dev qt6-svg-dev libqt6svg6 libqt6sql6-sqlite qt6-charts-dev libqt6opengl6-dev fonts-dejavu-core xvfb xauth "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    cat >&2 <<MSG
These Debian packages are missing: ${missing[*]}
Installing them needs root, and sudo is not installed. Either run this script
as root, or, as root, install sudo (apt-get install sudo) and add yourself to
the sudo group, or install the packages yourself:
  apt-get install --no-install-recommends ${missing[*]}
MSG
    exit 1
  fi
  # sudo starts with a clean environment: the variable is passed explicitly.
  as_root=(sudo env DEBIAN_FRONTEND=noninteractive)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
