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
status=0
for file in "${files[@]}"; do
  [ -f "$file" ] || continue
  if ! difference=$(clang-format --style="file:$style" "$file" | diff -u "$file" -); then
    echo "format differs: ${file#"$root"/}"
    printf '%s\n' "$difference" | sed -n '3,12p'
    status=1
  fi
done
if [ "$status" = 1 ]; then
  echo "Lay the files out with: clang-format -i --style=file <file>" >&2
fi
exit "$status"
