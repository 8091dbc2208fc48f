#!/usr/bin/env bash
# Checks the Windows package as a user receives it: the programs, run-time DLLs, plugins,
# Japanese texts, read-me and licence notices, nothing of the build, at most 12 MB; and
# tarvo104.exe unzipped into a new folder starts under Wine without the build's DLL paths.
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
         imageformats/qico.dll translations/qtbase_ja.qm readme.txt licenses/NOTICE.txt; do
  [ -f "$pkg/$f" ] || fail "$f is missing"
done
extra=$(cd "$pkg" && find . -type f | grep -Eiv '^\./[^/]+\.(exe|dll)$|^\./(platforms|imageformats|styles)/[^/]+\.dll$|^\./translations/qtbase_ja\.qm$|^\./readme\.txt$|^\./licenses/[^/]+\.txt$' || true)
[ -z "$extra" ] || fail "files that do not belong in the package: $extra"
tests=$(cd "$pkg" && find . -iname '*test*' -o -iname '*e2e*' -o -iname 'make_*')
[ -z "$tests" ] || fail "build programs in the package: $tests"

# The notices: every shipped library's licence, and where Qt's source is.
has() { grep -q -- "$2" "$pkg/licenses/$1" || fail "licenses/$1 lacks \"$2\""; }
for dll in Qt6Core.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  [ ! -f "$pkg/$dll" ] || has NOTICE.txt "$dll"
done
has NOTICE.txt "sources.debian.org/src/qt6-base/"
has LGPL-3.0.txt "GNU LESSER GENERAL PUBLIC LICENSE"
has GPL-3.0.txt "GNU GENERAL PUBLIC LICENSE"
has GCC-runtime-exception.txt "GCC RUNTIME LIBRARY EXCEPTION"
has winpthreads.txt "mingw-w64-libraries/winpthreads"
has winpthreads.txt "Permission is hereby granted"
# The read-me in Japanese: the three programs, where to start, where captures go.
for text in tarvo104.exe Mirok101.exe CLIPBRD.EXE 作業フォルダ 保存; do
  grep -q "$text" "$pkg/readme.txt" || fail "readme.txt does not mention $text"
done
# No debug information in any program or DLL.
for f in $(cd "$pkg" && find . -iname '*.exe' -o -iname '*.dll'); do
  ! x86_64-w64-mingw32-objdump -h "$pkg/$f" | grep -q '\.debug_' || fail "$f is not stripped"
done
# Each program carries its manifest (run as the user, paths longer than 260 characters), and
# an icon and version information naming its file, as Explorer shows them.
for f in tarvo104.exe Mirok101.exe CLIPBRD.EXE; do
  grep -aq '<ws2:longPathAware>true</ws2:longPathAware>' "$pkg/$f" || fail "$f has no long-path manifest"
  rc=$(x86_64-w64-mingw32-windres -i "$pkg/$f" -O rc) || fail "the resources of $f cannot be read"
  grep -q RT_GROUP_ICON <<<"$rc" || fail "$f has no icon"
  grep -q "VALUE \"OriginalFilename\", \"$f\"" <<<"$rc" || fail "$f does not name itself"
done
# Stripped, the zip is some 11 MB (18 MB with the debug information), mostly Qt's DLLs.
size=$(stat -c %s "$zip")
[ "$size" -le $((12 * 1024 * 1024)) ] || fail "the zip is $size bytes, more than 12 MB"
echo "check-package: $(cd "$pkg" && find . -type f | wc -l) files, $(du -sh "$pkg" | cut -f1) unpacked, zip $((size / 1024)) KB"

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
