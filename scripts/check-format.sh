#!/usr/bin/env bash
# Reports every C++ file of the tree that clang-format-14 would change, with
# the places; exits 1 when there is any. With --fix, formats them instead.
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
# One process for the whole tree: a check that stays quick on a busy machine.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
if ! "$FORMAT" --dry-run --Werror "${files[@]}" 2>"$out"; then
  grep -o '^[^:]*:[0-9]*' "$out" | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
  head -n 40 "$out"
  echo "check-format: run scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
