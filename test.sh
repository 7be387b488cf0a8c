#!/usr/bin/env bash
# Installs what is needed, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD=${SONMIRA_TEST_BUILD:-build-asan}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DSONMIRA_SANITIZE=ON >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
cd "$BUILD"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/../tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The desktop program's tests need an X server: a virtual one, whatever the
# machine has.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)" ${CTEST_ARGS:-}
