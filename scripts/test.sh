#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the unit tests (ASan + UBSan),
# the fuzzers of the page readers for a bounded time, and the end-to-end tests of the real programs under Wine.
# The fuzzer and the making of the Wine prefix run while the Windows programs build; their output
# follows the build's. A release of the programs, built twice to compare, runs beside the end-to-end
# tests, and the end-to-end update then installs it.
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

# The programs as users get them, as a maker releases them (a release of 13.4.21 signed with the tests'
# key), then once more from a copy of the sources in another folder, to compare: built from here on,
# while the tests mostly wait on Wine, at the lowest priority, so that the tests' programs get the
# processor whenever they want it.
release=$logs/release/13.04.21
test_key=$(sed -n 's/^public-key //p' tests/e2e/keys/test.key)
(nice -n 19 scripts/release.sh 13.4.21 --key tests/e2e/keys/test.key --allow-dirty --out "$release" &&
  nice -n 19 scripts/check-reproducible.sh 13.4.21 --public-key "$test_key" --against "$release") >"$logs/release.log" 2>&1 &
windows=$!

step "windows: stickwell-page under Wine and the native one sign and verify each other's releases"
wait $prefix || { cat "$logs/prefix.log"; exit 1; }
STICKWELL_WINE_PREFIX=$root/build/windows-e2e/wine STICKWELL_WINDOWS_BIN=$root/build/windows-e2e/bin tests/sign-under-wine.sh

step "fuzz: the result"
wait $fuzzer || { cat "$logs/fuzz.log"; exit 1; }
cat "$logs/fuzz.log"

step "end-to-end tests"
scripts/e2e.sh

step "windows: a release of 13.4.21 (built beside the end-to-end tests), reproducible, installed over 13.4.20"
wait $windows || { cat "$logs/release.log"; exit 1; }
grep -E '^(release|check-reproducible):' "$logs/release.log"
(cd "$release" && sha256sum --quiet -c SHA256SUMS)
[ "$(unzip -Z1 "$release/Stickwell-13.04.21.zip" | tr '\n' ' ')" = "Stickwell.exe Renewick.exe " ] ||
  { echo "test: the complete package does not hold Stickwell.exe and Renewick.exe, in this order" >&2; exit 1; }
for program in Stickwell.exe Renewick.exe; do unzip -p "$release/Stickwell-13.04.21.zip" $program | cmp - "$release/$program"; done
STICKWELL_E2E_RELEASE=$release scripts/e2e.sh --gtest_filter='UpdateJourney.*'

step "all tests passed"
