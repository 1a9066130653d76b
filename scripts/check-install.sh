#!/usr/bin/env bash
# Installs a built tree into a scratch prefix and checks what lands there: the
# programs, desktop entry, icons, metainfo, manual pages and completion. The
# desktop entry and the metainfo are validated where desktop-file-validate
# (desktop-file-utils) and appstreamcli (appstream) are installed.
#   scripts/check-install.sh [BUILD_FOLDER]      (default: build)
set -euo pipefail
build=${1:-build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

app_id=com.korvanel.Veskaro
expected=(
  bin/veskaro
  bin/veskaro-report
  share/applications/$app_id.desktop
  share/metainfo/$app_id.metainfo.xml
  share/icons/hicolor/scalable/apps/$app_id.svg
  share/man/man1/veskaro.1
  share/man/man1/veskaro-report.1
  share/bash-completion/completions/veskaro-report
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
status=0
for file in "${expected[@]}"; do
  [ -s "$prefix/$file" ] || { echo "missing: $file" >&2; status=1; }
done
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
unexpected=$(comm -13 <(printf '%s\n' "${expected[@]}" | sort) <(echo "$actual"))
[ -z "$unexpected" ] || { echo "not expected: $unexpected" >&2; status=1; }

grep -q '^Exec=veskaro$' "$prefix/share/applications/$app_id.desktop" || { echo "Exec is not veskaro" >&2; status=1; }
version=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/veskaro-report" --version | awk '{ print $2 }')
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$app_id.metainfo.xml" \
  || { echo "the metainfo has no release $version" >&2; status=1; }
grep -q "\"Veskaro $version\"" "$prefix/share/man/man1/veskaro-report.1" \
  || { echo "the manual page is not of version $version" >&2; status=1; }
bash -n "$prefix/share/bash-completion/completions/veskaro-report" || status=1

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/$app_id.desktop" || status=1
else
  echo "desktop-file-validate not installed (desktop-file-utils): desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >/dev/null || {
    appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >&2
    status=1
  }
else
  echo "appstreamcli not installed (appstream): metainfo not validated"
fi
if command -v man >/dev/null; then
  for page in veskaro veskaro-report; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$page.1: $warnings" >&2; status=1; }
  done
fi
[ "$status" -eq 0 ] && echo "installed files: ${#expected[@]} as expected"
exit "$status"
