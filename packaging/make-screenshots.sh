#!/usr/bin/env bash
# Remakes docs/screenshots/tarvo104.png and Mirok101.png, the pictures the AppStream data
# shows: packages a finished build, unpacks it and photographs the two programs on a
# private X display, the organiser on the pictures of samples/.
#   bash packaging/make-screenshots.sh BUILD_DIR
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
deb=$(bash "$src/scripts/package.sh" "$build")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root"
mkdir -p "$src/docs/screenshots"
bash "$src/tests/e2e/with-xvfb.sh" bash "$src/packaging/check-windows.sh" "$tmp/root" \
  "$build/packaging/grabwindow" "$src/docs/screenshots" "$src/samples"
