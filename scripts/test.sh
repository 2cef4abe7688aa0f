#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the unit tests (ASan + UBSan),
# the fuzzers of the page readers for a bounded time, and the end-to-end tests of the real programs under Wine.
# The fuzzer and the making of the Wine prefix run while the Windows programs build; their output
# follows the build's. The release build of the programs runs beside the end-to-end tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
started=$(date +%s)

scripts/setup.sh

step() { echo; echo "== $* ($(( $(date +%s) - started )) s)"; }
logs=$(mktemp -d /tmp/stickwell-test.XXXXXX)
trap 'rm -rf "$logs"' EXIT

step "native: platform-free code and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -j"$(nproc)"

step "fuzz: build the fuzzers of the page readers, then fuzz them while the Windows programs build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scripts/fuzz.sh >"$logs/fuzz.log" 2>&1 &
fuzzer=$!
scripts/e2e.sh --prepare >"$logs/prefix.log" 2>&1 &
prefix=$!

step "windows-e2e: the programs against the test server, and the end-to-end tests"
cmake --preset windows-e2e >/dev/null
cmake --build --preset windows-e2e

step "windows: stickwell-page under Wine and the native one sign and verify each other's releases"
wait $prefix || { cat "$logs/prefix.log"; exit 1; }
STICKWELL_WINE_PREFIX=$root/build/windows-e2e/wine STICKWELL_WINDOWS_BIN=$root/build/windows-e2e/bin tests/sign-under-wine.sh

step "fuzz: the result"
wait $fuzzer || { cat "$logs/fuzz.log"; exit 1; }
cat "$logs/fuzz.log"

# The programs as users get them build from the same sources while the end-to-end tests mostly wait on
# Wine; at the lowest priority, so that the tests' programs get the processor whenever they want it.
cmake --preset windows >/dev/null
nice -n 19 cmake --build --preset windows >"$logs/windows.log" 2>&1 &
windows=$!

step "end-to-end tests"
scripts/e2e.sh

step "windows: Stickwell.exe and Renewick.exe as users get them (built beside the end-to-end tests)"
wait $windows || { cat "$logs/windows.log"; exit 1; }
tail -n 3 "$logs/windows.log"

step "all tests passed"
