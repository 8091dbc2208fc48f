#!/usr/bin/env bash
# Builds the tests of the thumbnail cache, the decoding ahead and the clipboard picture made
# on a worker with ThreadSanitizer (clang, a build folder of its own) and runs them. Qt itself
# is not instrumented: tests/tsan.supp names the reports that come from inside Qt, and only
# those. A report in our own code fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# -O1 with line tables only: what the sanitizer needs for its reports (lines, inlined frames)
# at a fraction of a debug build's compile time.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only" \
  -DTARVO_WERROR=ON -DCMAKE_CXX_COMPILER=clang++-14 -DTARVO_TSAN=ON -DTARVO_BENCH=OFF \
  -DTARVO_FORMS_TESTS='pagecache|selection|clipboard_model' ${TARVO_TSAN_CMAKE_ARGS:-}
cmake --build build-tsan -j "$jobs" --target forms_tests
export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp halt_on_error=0 exitcode=66 second_deadlock_stack=1 history_size=4"
(cd build-tsan && ctest --output-on-failure --no-tests=error -j "$jobs" -R '^(PageCacheTest|ThumbnailCache|OrganiserTest|SelectionEndTest|ClipboardModelTest)')
