#!/usr/bin/env bash
# The format check passes a file laid out as .clang-format describes and
# fails one that is not, naming it.
set -uo pipefail
root=$1
# Without clang-format there is nothing to check here (CI installs it).
command -v clang-format >/dev/null || { echo "clang-format is not installed"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cat > "$scratch/good.cpp" <<'CPP'
int twice(int value)
{
    return value * 2;  // doubled
}
CPP
printf 'int twice(int value) { return value*2; }\n' > "$scratch/bad.cpp"
if ! bash "$root/scripts/check-format.sh" "$scratch/good.cpp"; then
  echo "a well laid out file was refused"
  exit 1
fi
output=$(bash "$root/scripts/check-format.sh" "$scratch/good.cpp" "$scratch/bad.cpp" 2>&1)
if [ $? -eq 0 ]; then
  echo "a misformatted file passed"
  exit 1
fi
if ! grep -q "bad.cpp" <<<"$output" || grep -q "good.cpp" <<<"$output"; then
  echo "the check named the wrong files: $output"
  exit 1
fi
echo "format check: passes laid-out files, fails and names a misformatted one"
