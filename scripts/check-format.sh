#!/usr/bin/env bash
# Reports every C++ file of the tree that clang-format-14 would change, with
# the change; exits 1 when there is any. With --fix, formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
FORMAT=${CLANG_FORMAT:-clang-format-14}
if ! command -v "$FORMAT" >/dev/null; then
  echo "check-format: $FORMAT not found (scripts/install-deps.sh installs it)" >&2
  exit 2
fi
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$FORMAT" -i "${files[@]}"
  exit 0
fi
bad=0
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for f in "${files[@]}"; do
  if ! diff -u --label "$f" --label "$f (formatted)" "$f" <("$FORMAT" "$f") >"$out" 2>&1; then
    echo "not formatted: $f"
    head -n 20 "$out"
    bad=1
  fi
done
if [ "$bad" -ne 0 ]; then
  echo "check-format: run scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
