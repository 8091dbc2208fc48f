#!/usr/bin/env bash
# Builds the Debian package tarvo104_<version>_amd64.deb with CPack and prints its path.
#   bash scripts/package.sh            a Release build of its own in build-release/
#   bash scripts/package.sh BUILD_DIR  packages the programs already built in BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ge 1 ]; then
  build=$1
else
  bash scripts/install-deps.sh
  build=build-release
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF
  cmake --build "$build"
fi
[ -f "$build/CPackConfig.cmake" ] || { echo "package.sh: $build is not a configured build" >&2; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
arch=$(dpkg --print-architecture)
deb="$build/tarvo104_${version}_${arch}.deb"
rm -f "$deb"
(cd "$build" && cpack -G DEB) >&2
[ -f "$deb" ] || { echo "package.sh: cpack did not write $deb" >&2; exit 1; }
echo "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
