#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time. Each target writes its own seeds (made by the
# same builders the tests use) when TARVO_MAKE_SEEDS names a folder, in LLVMFuzzerInitialize.
set -eu
fuzzer=$1
corpus=$2
mkdir -p "$corpus"
TARVO_MAKE_SEEDS="$corpus" "$fuzzer" >/dev/null 2>&1
exec "$fuzzer" -max_total_time="${FUZZ_SECONDS:-30}" -rss_limit_mb=2048 -timeout=10 "$corpus"
