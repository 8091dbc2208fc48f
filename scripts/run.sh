#!/usr/bin/env bash
# Installs what is needed, builds, and starts the organiser on the bundled sample pictures.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF
cmake --build "$top/build" -j "$(nproc)"
cd "$top/samples"
exec "$top/build/bin/tarvo104" "$@"
