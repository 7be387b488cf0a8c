#!/usr/bin/env bash
# Installs what is needed, then two builds and test runs, each in its own
# build folder:
#  1. AddressSanitizer and UndefinedBehaviorSanitizer, everything: every test
#     through CTest (under Xvfb, for the desktop program's tests);
#  2. ThreadSanitizer, without the Qt parts (SONMIRA_QT=OFF): the core, the
#     serial library, the drivers, the command-line tool, the simulator and
#     their tests, through CTest with two tests at a time.
# Both compile the folders of SONMIRA_WERROR_FOLDERS (CMakeLists.txt) with -Werror.
# SONMIRA_TSAN_RUN=0 leaves the second out.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
./scripts/install-deps.sh

BUILD=${SONMIRA_TEST_BUILD:-build-asan}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DSONMIRA_SANITIZE=ON -DSONMIRA_WERROR=ON >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
(
  cd "$BUILD"
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$ROOT/tests/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  # The desktop program's tests need an X server: a virtual one, whatever the
  # machine has.
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)" ${CTEST_ARGS:-}
)

if [ "${SONMIRA_TSAN_RUN:-1}" = 0 ]; then exit 0; fi
tsan_start=$SECONDS
TSAN_BUILD=${SONMIRA_TSAN_BUILD:-build-tsan}
cmake -S . -B "$TSAN_BUILD" -DCMAKE_BUILD_TYPE=Debug -DSONMIRA_TSAN=ON -DSONMIRA_QT=OFF -DSONMIRA_BENCH=OFF \
  -DSONMIRA_WERROR=ON >/dev/null
cmake --build "$TSAN_BUILD" -j"$(nproc)"
cd "$TSAN_BUILD"
# Suppressions for third-party libraries only, each explained in the file.
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1 suppressions=$ROOT/tests/tsan.supp}
# setarch -R: ThreadSanitizer's fixed memory layout does not survive a kernel
# that randomises mappings with more bits than it allows for.
setarch "$(uname -m)" -R ctest --output-on-failure -j2 ${CTEST_ARGS:-}
echo "test.sh: the ThreadSanitizer build and run took $((SECONDS - tsan_start)) s"
