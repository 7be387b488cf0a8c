#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS] [TARGET...]    (default 600 s each, every target)
# Corpora are kept under build-fuzz/corpus/<target>/ and grow from run to run;
# findings (crash-*, leak-*, timeout-*) land in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-600}
shift || true
BUILD=${SONMIRA_FUZZ_BUILD:-build-fuzz}

CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSONMIRA_FUZZ=ON -DSONMIRA_SANITIZE=ON -DSONMIRA_BENCH=OFF >/dev/null
if [ $# -gt 0 ]; then
  TARGETS=("$@")
else
  mapfile -t TARGETS < <(sed -n '/^set(SONMIRA_FUZZ_TARGETS/,/^)/{/^set\|^)/d;s/[[:space:]]//g;/./p}' tests/fuzz/CMakeLists.txt)
fi
if ! cmake --build "$BUILD" -j"$(nproc)" --target "${TARGETS[@]/#/fuzz_}" >"$BUILD/fuzz_build.log" 2>&1; then
  tail -40 "$BUILD/fuzz_build.log"
  exit 2
fi

status=0
for t in "${TARGETS[@]}"; do
  corpus="$BUILD/corpus/$t"
  findings="$BUILD/findings/$t"
  mkdir -p "$corpus" "$findings"
  # Tiny files of each kind seed the audio readers; the installation data the others.
  if [ -d "tests/fuzz/seeds/$t" ]; then
    cp -n "tests/fuzz/seeds/$t"/* "$corpus/"
  else
    cp -n data/* "$corpus/" 2>/dev/null || true
    rm -f "$corpus/CMakeLists.txt"
  fi
  log="$BUILD/fuzz_$t.log"
  echo "== fuzz_$t: ${SECONDS_EACH}s"
  set +e
  "$BUILD/out/fuzz_$t" -max_total_time="$SECONDS_EACH" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  found=$(find "$findings" -type f | wc -l)
  echo "   executions: $runs   corpus: $(ls "$corpus" | wc -l) inputs   findings: $found   exit: $rc   log: $log"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then status=1; fi
done
exit $status
