#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the unit tests (ASan + UBSan),
# the page-reader fuzzer for a bounded time, and the end-to-end tests of the real programs under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
started=$(date +%s)

scripts/setup.sh

step() { echo; echo "== $* ($(( $(date +%s) - started )) s)"; }

step "native: platform-free code and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -j"$(nproc)"

if [ -f fuzz/CMakeLists.txt ]; then
  step "fuzz: the update page readers"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz
  corpus=$(mktemp -d /tmp/stickwell-corpus.XXXXXX)
  trap 'rm -rf "$corpus"' EXIT
  # Seeds: the fuzzer's own edge cases and the pages the tool's tests read.
  cp fuzz/corpus/* tests/pages/*.html "$corpus"/
  build/fuzz/bin/stickwell-page-fuzzer -max_total_time="${STICKWELL_FUZZ_SECONDS:-30}" -print_final_stats=1 \
    "$corpus" 2>&1 | tail -n 15
fi

if [ -f bench/CMakeLists.txt ]; then
  step "bench: build the benchmarks"
  cmake --preset bench >/dev/null
  cmake --build --preset bench
fi

step "windows: Stickwell.exe and Renewick.exe"
cmake --preset windows >/dev/null
cmake --build --preset windows

step "windows: stickwell-page under Wine and the native one sign and verify each other's releases"
tests/sign-under-wine.sh

step "windows-e2e: the programs against the test server, and the end-to-end tests"
cmake --preset windows-e2e >/dev/null
cmake --build --preset windows-e2e
scripts/e2e.sh

step "all tests passed"
