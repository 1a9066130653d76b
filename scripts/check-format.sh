#!/usr/bin/env bash
# Checks that C++ files are laid out as .clang-format describes: the files
# named as arguments, or else every C++ file of the repository. Prints each
# file that differs with the first lines of its difference, and fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
style="$root/.clang-format"
if ! command -v clang-format >/dev/null; then
  bash "$root/scripts/install-deps.sh" clang-format || exit 1
fi
if (($#)); then
  files=("$@")
else
  mapfile -t files < <(cd "$root" && git ls-files '*.cpp' '*.h' | sed "s|^|$root/|")
fi
# clang-format runs on as many files at once as there are cores; each file's
# difference goes to a scratch folder and is reported in the files' order.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export style scratch
for index in "${!files[@]}"; do
  printf '%s\0%s\0' "$index" "${files[$index]}"
done | xargs -0 -n 2 -P "$(nproc)" sh -c \
  '[ ! -f "$2" ] || clang-format --style="file:$style" "$2" | diff -u "$2" - >"$scratch/$1" || echo >>"$scratch/$1.differs"' sh
status=0
for index in "${!files[@]}"; do
  if [ -f "$scratch/$index.differs" ]; then
    echo "format differs: ${files[$index]#"$root"/}"
    sed -n '3,12p' "$scratch/$index"
    status=1
  fi
done
if [ "$status" = 1 ]; then
  echo "Lay the files out with: clang-format -i --style=file <file>" >&2
fi
exit "$status"
