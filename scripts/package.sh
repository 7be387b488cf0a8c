#!/usr/bin/env bash
# Builds the Debian package of Sonmira, sonmira_<version>_<arch>.deb, with
# Debian's own compiler flags, checks it with lintian, and prints the
# package's path as its last line.
#   SONMIRA_PACKAGE_BUILD  build folder (default build-package)
#   SONMIRA_PACKAGE_OUT    where the package goes (default packages/)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
./scripts/install-deps.sh >&2

BUILD=${SONMIRA_PACKAGE_BUILD:-build-package}
OUT=${SONMIRA_PACKAGE_OUT:-$ROOT/packages}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

# Hardening (bind-now as well), and this folder's paths mapped out of what is compiled in.
flags() { (cd "$ROOT" && DEB_BUILD_MAINT_OPTIONS=hardening=+bindnow dpkg-buildflags --get "$1"); }
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONMIRA_TESTS=OFF -DSONMIRA_BENCH=OFF \
  -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)" >&2
cmake --build "$BUILD" -j"$(nproc)" >&2

version=$(sed -n 's/^CPACK_PACKAGE_VERSION "\(.*\)"$/\1/p; s/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' \
  "$BUILD/CPackConfig.cmake" | head -n1)
deb="$OUT/sonmira_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
(cd "$BUILD" && cpack -G DEB -B "$OUT/.cpack" >&2)
mv "$OUT/.cpack/$(basename "$deb")" "$deb"
rm -rf "$OUT/.cpack"

# Errors fail the build; warnings are printed (the README explains those left).
lintian --fail-on error "$deb" >&2
echo "$deb"
