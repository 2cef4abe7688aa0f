#!/usr/bin/env bash
# Measures the download code of both programs against curl: a 64 MiB file from the loopback test server,
# fetched alternately by HttpDownload (under Wine, written to disk) and by curl (native, written to the
# same folder), five rounds after a warm-up, in one run and one network namespace. Prints both times and
# the throughput ratio (goal: at least 0.8).
#   cmake --preset windows-e2e && cmake --build --preset windows-e2e -j2 && bench/download-vs-curl.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$root/scripts/e2e.sh" --gtest_also_run_disabled_tests --gtest_filter='DownloadBenchmark.*'
