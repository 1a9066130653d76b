#!/usr/bin/env bash
# Prints what veskaro-report writes for every view, on the demo network and on
# the small description in scripts/report-check/, into one folder per run, so
# that two builds can be compared byte for byte:
#
#   scripts/compare-report.sh build/src/report/veskaro-report /tmp/before
#   (change, rebuild)
#   scripts/compare-report.sh build/src/report/veskaro-report /tmp/after
#   diff -r /tmp/before /tmp/after
#
# Each run starts from an empty settings file; standard output, standard error
# and the exit status are kept.
set -uo pipefail
report=$(realpath "$1")
out=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() {  # name network arguments...
  local name=$1 network=$2
  shift 2
  rm -f "$work/settings.reg"
  if [ -n "$network" ]; then export VESKARO_NETWORK=$network; else unset VESKARO_NETWORK; fi
  VESKARO_SETTINGS="$work/settings.reg" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TZ=UTC \
    "$report" "$@" >"$out/$name.out" 2>"$out/$name.err"
  echo $? >"$out/$name.status"
}

demo_servers=$(VESKARO_SETTINGS="$work/list.reg" QT_QPA_PLATFORM=offscreen "$report" servers 2>/dev/null | head -4 | tr '\n' ' ')
# shellcheck disable=SC2086
for network in demo own; do
  if [ "$network" = demo ]; then file=; servers=$demo_servers; else file=$here/report-check/network.json; servers="FS1 FS2 DOWN"; fi
  run "$network-servers" "$file" servers
  run "$network-info" "$file" info $servers
  run "$network-utilization" "$file" utilization $servers
  for show in both version date; do
    run "$network-nlms-$show" "$file" nlms --show $show $servers
    run "$network-nlms-$show-diff" "$file" nlms --show $show --differences-only $servers
  done
  run "$network-sets" "$file" sets $servers
  run "$network-sets-diff" "$file" sets --differences-only $servers
  run "$network-sets-one" "$file" sets FS1
  run "$network-delimiter" "$file" --delimiter ';' info $servers
  for view in volumes connections partitions abendlog filelocks nosuchview; do
    run "$network-$view" "$file" $view $servers
  done
  first=${servers%% *}  # the first named server
  run "$network-abends" "$file" abends "$first"
  run "$network-abends-1" "$file" abends --show 1 "$first"
  run "$network-openfiles" "$file" openfiles "$first" 1
  # tsv and json carry the same cells, for tables of one server and of several
  for format in tsv json; do
    run "$network-servers-$format" "$file" --format $format servers
    run "$network-info-$format" "$file" --format $format info $servers
    run "$network-nlms-$format" "$file" --format $format nlms $servers
    run "$network-sets-$format" "$file" --format $format sets $servers
    run "$network-volumes-$format" "$file" --format $format volumes $servers
    run "$network-connections-$format" "$file" --format $format connections $servers
    run "$network-abends-$format" "$file" --format $format abends "$first"
  done
  run "$network-usage" "$file"
done
echo "written to $out"
