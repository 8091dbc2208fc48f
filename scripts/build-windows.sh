#!/usr/bin/env bash
# Cross-builds both programs for Windows x86-64 with mingw-w64, runs the tests under Wine
# inside Xvfb (Japanese locale, so Wine's ANSI code page is 932), and writes
# dist/tarvo104-windows-x64.zip. Needs the prebuilt Qt for mingw-w64 (see its README); where
# that archive is absent the script says how to make it and stops without failing.
# With --bench [crossbench options], it builds only bench/crossbench and runs it under Wine
# instead (no tests, no package).
set -euo pipefail
cd "$(dirname "$0")/.."
bench_only=""
if [ "${1:-}" = "--bench" ]; then
  bench_only=1
  shift
fi
root=$PWD
start=$(date +%s)

qt_name=qt-6.4.2-mingw64
archive=""
for a in "${TARVO_QT_ARCHIVE:-}" "$root/../shared/toolchains/$qt_name.tar.xz" \
         "$root/../../shared/toolchains/$qt_name.tar.xz" "/work/shared/toolchains/$qt_name.tar.xz"; do
  if [ -n "$a" ] && [ -f "$a" ]; then archive=$a; break; fi
done
if [ -z "$archive" ]; then
  cat <<MSG
build-windows: the Qt for Windows archive ($qt_name.tar.xz) was not found, so the Windows
build is skipped. Make it with build-qt-mingw.sh from shared/toolchains (about 40 minutes on
2 cores, needs Debian's qt6-base source), or name an existing one in TARVO_QT_ARCHIVE.
MSG
  exit 0
fi
for tool in x86_64-w64-mingw32-g++-posix wine Xvfb zip; do
  command -v "$tool" >/dev/null || { echo "build-windows: $tool is missing (run scripts/install-deps.sh)"; exit 1; }
done
# Qt's own texts in Japanese: Debian's translation is the same file on every system.
qt_ja=/usr/share/qt6/translations/qtbase_ja.qm
[ -f "$qt_ja" ] || { echo "build-windows: $qt_ja is missing (run scripts/install-deps.sh)"; exit 1; }

work=$root/build-win
build=$work/build
qt=$work/$qt_name
mkdir -p "$work"
if [ ! -f "$qt/.unpacked" ] || [ "$archive" -nt "$qt/.unpacked" ]; then
  rm -rf "$qt"
  tar -C "$work" -xJf "$archive"
  touch "$qt/.unpacked"
fi
# Where Qt looks for its translations (beside its bin folder), for the tests.
mkdir -p "$qt/translations"
cp "$qt_ja" "$qt/translations/"

# Wine, also for the build (the icons are drawn by our own code under it): a private
# prefix, Japanese locale, the Qt and compiler run-time DLLs on its PATH.
export WINEPREFIX=$work/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8
winpath() { echo "Z:${1//\//\\}"; }
gcc_rt=/usr/lib/gcc/x86_64-w64-mingw32/12-posix
pthread_rt=/usr/x86_64-w64-mingw32/lib
export WINEPATH="$(winpath "$qt/bin");$(winpath "$gcc_rt");$(winpath "$pthread_rt")"
export QT_PLUGIN_PATH="$(winpath "$qt/plugins")"
if [ ! -f "$WINEPREFIX/.booted" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  touch "$WINEPREFIX/.booted"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
jobs=$(nproc)
TARVO_QT_WIN=$qt cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTARVO_PLATFORM=win -DTARVO_WERROR=ON -DTARVO_BENCH=ON -DTARVO_QT_WIN="$qt" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/windows-toolchain.cmake" "${launcher[@]}"
if [ -n "$bench_only" ]; then
  cmake --build "$build" -j "$jobs" --target crossbench
  # Under the same X server and window manager as the tests; offscreen unless told otherwise.
  exec bash tests/e2e/with-xvfb.sh env -u QT_QPA_PLATFORM bash -c '
    wineserver -p
    wine wineboot </dev/null >/dev/null 2>&1
    wine "$@" </dev/null
    rc=$?
    wineserver -k
    exit $rc' _ "$build/bench/crossbench.exe" "$@"
fi
cmake --build "$build" -j "$jobs"

# One X server, one window manager and one wineserver for the whole test run.
bash tests/e2e/with-xvfb.sh env -u QT_QPA_PLATFORM bash -c '
  wineserver -p
  # Wine starts its background processes once, away from any test output.
  wine wineboot </dev/null >/dev/null 2>&1
  cd "$1" && ctest --output-on-failure -j "$2"
  rc=$?
  wineserver -k
  exit $rc' _ "$build" "$jobs"

# The package: the three programs, the DLLs they import, the plugins Qt loads, Qt's Japanese
# texts, a read-me and the licence notices of what it ships, nothing else.
pkg=$work/package/tarvo104
rm -rf "$work/package"
mkdir -p "$pkg/platforms" "$pkg/imageformats" "$pkg/styles" "$pkg/translations" "$pkg/licenses"
cp "$qt_ja" "$pkg/translations/"
cp "$build/bin/tarvo104.exe" "$build/bin/Mirok101.exe" "$pkg/"
cp "$build/bin/clipbrd.exe" "$pkg/CLIPBRD.EXE"
cp "$qt/plugins/platforms/qwindows.dll" "$pkg/platforms/"
cp "$qt/plugins/imageformats/"{qgif,qico,qjpeg}.dll "$pkg/imageformats/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$pkg/styles/"
# Follow the import tables until nothing new is needed.
todo=("$pkg"/*.exe "$pkg"/*/*.dll)
declare -A have=()
while [ ${#todo[@]} -gt 0 ]; do
  f=${todo[0]}; todo=("${todo[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p'); do
    key=${dll,,}
    [ -n "${have[$key]:-}" ] && continue
    have[$key]=1
    for dir in "$qt/bin" "$gcc_rt" "$pthread_rt"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$pkg/"
        todo+=("$pkg/$dll")
        break
      fi
    done
  done
done
# Without their debug information the DLLs are a third of their size. (CLIPBRD.EXE is in
# capitals, as Windows names it.)
find "$pkg" -iname '*.exe' -o -iname '*.dll' | xargs x86_64-w64-mingw32-strip
# Texts for Windows: CR LF line ends, and the Japanese read-me with a byte-order mark so
# that every editor reads it as UTF-8.
crlf() { sed 's/\r$//; s/$/\r/' "$@"; }
{ printf '\xEF\xBB\xBF'; crlf packaging/windows/readme.txt; } >"$pkg/readme.txt"
crlf packaging/windows/NOTICE.txt >"$pkg/licenses/NOTICE.txt"
crlf /usr/share/common-licenses/LGPL-3 >"$pkg/licenses/LGPL-3.0.txt"
crlf /usr/share/common-licenses/GPL-3 >"$pkg/licenses/GPL-3.0.txt"
crlf <(sed -n '/^GCC RUNTIME LIBRARY EXCEPTION$/,/requirements of the license of GCC\.$/p' \
  /usr/share/doc/gcc-mingw-w64-base/copyright) >"$pkg/licenses/GCC-runtime-exception.txt"
# winpthreads' parts of mingw-w64's copyright file, with the licence texts they name.
crlf <(awk 'BEGIN { RS = ""; ORS = "\n\n" }
  /^Files: mingw-w64-libraries\/winpthreads\// && !/tests_pthread/ ||
  /^License: expat\n/ || /^License: BSD-3-clause\n/' /usr/share/doc/mingw-w64-common/copyright) \
  >"$pkg/licenses/winpthreads.txt"
mkdir -p dist
rm -f dist/tarvo104-windows-x64.zip
(cd "$work/package" && zip -qr9 "$root/dist/tarvo104-windows-x64.zip" tarvo104)
# The package as a user unpacks and starts it.
bash tests/e2e/with-xvfb.sh env -u QT_QPA_PLATFORM \
  bash tests/win/check-package.sh "$root/dist/tarvo104-windows-x64.zip" "$root/samples"
echo "build-windows: wrote dist/tarvo104-windows-x64.zip ($(du -h dist/tarvo104-windows-x64.zip | cut -f1)) in $(( $(date +%s) - start )) s"
