#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test through ctest: first a normal build
# with warnings as errors (unit, window and end-to-end tests, and the Debian package built
# from it and checked: label package), then a clang build with
# AddressSanitizer and UndefinedBehaviorSanitizer (unit and window tests) with the libFuzzer
# targets, each fuzzed for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_WERROR=ON
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

if [ -z "${TARVO_SKIP_SANITIZE:-}" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVO_WERROR=ON \
    -DCMAKE_CXX_COMPILER=clang++-14 -DTARVO_SANITIZE=ON -DTARVO_FUZZ=ON -DTARVO_BENCH=OFF
  cmake --build build-asan -j "$jobs"
  (cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j "$jobs" -L 'unit|windows|fuzz|corpus')
fi
