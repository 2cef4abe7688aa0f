#!/usr/bin/env bash
# Builds and runs the benchmarks of the real programs (bench/e2e) under the same Wine, Xvfb and network
# namespace as the end-to-end tests. Each prints its figure as a ratio against a reference measured in
# the same run. Extra arguments go to GoogleTest; without a filter every benchmark runs (several minutes).
#   cmake --preset windows-e2e && scripts/bench-e2e.sh --gtest_filter='NoteBenchmark.*'
# STICKWELL_E2E_BUILD=windows-bench runs them on that preset's build instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake --build --preset "${STICKWELL_E2E_BUILD:-windows-e2e}" --target stickwell-e2e-bench BareWindow
[[ " $* " == *" --gtest_filter="* ]] || set -- "$@" --gtest_filter='*Benchmark*'
STICKWELL_E2E_BINARY=stickwell-e2e-bench.exe exec "$root/scripts/e2e.sh" "$@"
