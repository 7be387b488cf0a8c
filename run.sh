#!/usr/bin/env bash
# Installs what is needed, builds, and runs Sonmira on its embedded default:
# the module simulator on a pseudo-terminal stands in for the programmer module.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD=${SONMIRA_RUN_BUILD:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONMIRA_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
exec ./scripts/demo.sh "$BUILD/out" "$@"
