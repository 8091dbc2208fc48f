#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test through ctest: first a normal build
# with warnings as errors (unit, window and end-to-end tests, and the Debian package built
# from it and checked: label package), then the unit tests and that back end's own window
# tests on the back end without other programs' windows (TARVO_PLATFORM=none), then a clang
# build with AddressSanitizer and UndefinedBehaviorSanitizer (the unit tests, and the window tests of
# decoding, worker threads and file commands) with the libFuzzer targets, each fuzzed for a
# bounded time, and the picture corpus; between them the Windows cross build with its tests
# under Wine (scripts/build-windows.sh); last a ThreadSanitizer build of the tests of the
# work done on worker threads (scripts/tsan.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Each step says how long it took, so a slow one is seen.
begin=$SECONDS
step() { echo "test.sh: $1 done after $((SECONDS - begin)) s"; }

jobs=$(nproc)
# The compiler cache lets the build without X11 take what the main build compiled (the same
# files with the same flags); on a fresh machine it starts empty, in the checkout.
export CCACHE_DIR="${CCACHE_DIR:-$PWD/.ccache}" CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_WERROR=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")
step "the main build and its tests"

# The back end without other programs' windows: the libraries and the programs build on it,
# and the unit tests and that back end's own window tests pass against it.
cmake -S . -B build-none -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_WERROR=ON \
  -DTARVO_PLATFORM=none -DTARVO_BENCH=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build build-none -j "$jobs"
(cd build-none && ctest --output-on-failure -j "$jobs" -L 'unit|forms')
step "the build without X11 and its tests"

# The Windows build and its tests under Wine (skipped with a note where the Qt for Windows
# archive is absent).
if [ -z "${TARVO_SKIP_WINDOWS:-}" ]; then
  bash scripts/build-windows.sh
  step "the Windows build and its tests under Wine"
fi

if [ -z "${TARVO_SKIP_SANITIZE:-}" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVO_WERROR=ON \
    -DCMAKE_CXX_COMPILER=clang++-14 -DTARVO_SANITIZE=ON -DTARVO_FUZZ=ON -DTARVO_BENCH=OFF \
    -DTARVO_FORMS_TESTS='pagecache|selection|filecommands|clipboard_model'
  cmake --build build-asan -j "$jobs" --target test_programs
  (cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j "$jobs" -L 'unit|forms|fuzz|corpus')
  step "the sanitizer build, its tests, fuzzers and corpus"
fi

# ThreadSanitizer on the tests of the thumbnail cache, the decoding ahead and the clipboard
# picture made on a worker (a build of its own; see scripts/tsan.sh).
if [ -z "${TARVO_SKIP_SANITIZE:-}" ] && [ -z "${TARVO_SKIP_TSAN:-}" ]; then
  bash scripts/tsan.sh
  step "the ThreadSanitizer build and its tests"
fi
