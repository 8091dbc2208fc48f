#!/usr/bin/env bash
# Checks the Windows package as a user receives it: the zip holds the three programs, the Qt
# and compiler run-time DLLs and the plugins, and nothing of the build (no tests, no import
# libraries); unzipped into a new folder, tarvo104.exe starts from it under Wine without the
# build's DLL paths and shows its window on the pictures of the folder it is started in.
# Run on an X display (tests/e2e/with-xvfb.sh) with the Wine environment of build-windows.sh.
set -u
zip=$1
samples=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "check-package: $*"; exit 1; }

unzip -q "$zip" -d "$tmp/unzipped" || fail "the zip cannot be unpacked"
pkg=$tmp/unzipped/tarvo104
for f in tarvo104.exe Mirok101.exe CLIPBRD.EXE Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
         platforms/qwindows.dll imageformats/qjpeg.dll imageformats/qgif.dll \
         imageformats/qico.dll; do
  [ -f "$pkg/$f" ] || fail "$f is missing"
done
extra=$(cd "$pkg" && find . -type f | grep -Eiv '^\./[^/]+\.(exe|dll)$|^\./(platforms|imageformats|styles)/[^/]+\.dll$' || true)
[ -z "$extra" ] || fail "files that do not belong in the package: $extra"
tests=$(cd "$pkg" && find . -iname '*test*' -o -iname '*e2e*' -o -iname 'make_*')
[ -z "$tests" ] || fail "build programs in the package: $tests"
echo "check-package: $(cd "$pkg" && find . -type f | wc -l) files, $(du -sh "$pkg" | cut -f1) unpacked"

# Started as a user starts it: no build folders on the DLL path, no plugin path.
mkdir -p "$tmp/pictures"
cp "$samples"/*.jpg "$samples"/*.BMP "$tmp/pictures/" 2>/dev/null
(cd "$tmp/pictures" && env -u WINEPATH -u QT_PLUGIN_PATH -u QT_QPA_PLATFORM \
   wine "$pkg/tarvo104.exe" >"$tmp/run.log" 2>&1 </dev/null) &
shown=
for _ in $(seq 1 200); do
  if xwininfo -root -tree 2>/dev/null | grep -q 'Tarvo  V1.4'; then shown=1; break; fi
  sleep 0.2
done
wineserver -k 2>/dev/null
wait 2>/dev/null
[ -n "$shown" ] || { cat "$tmp/run.log"; fail "tarvo104.exe from the package showed no window"; }
echo "check-package: tarvo104.exe started from the unpacked package"
