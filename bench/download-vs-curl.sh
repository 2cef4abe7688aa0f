#!/usr/bin/env bash
# Measures the updater's downloads against curl on a 64 MiB file from the loopback test server, five
# rounds after a warm-up, in one run and one network namespace: first the download code alone
# (HttpDownload, under Wine, written to disk), then a whole update through Renewick.exe's download
# window (from its status line naming the file to the countdown after it), each alternating with curl
# (native, written to the same kind of folder). Prints the times and the throughput ratios (goal: at
# least 0.9).
#   cmake --preset windows-e2e && bench/download-vs-curl.sh
set -euo pipefail
exec "$(cd "$(dirname "$0")/.." && pwd)/scripts/bench-e2e.sh" --gtest_filter='DownloadBenchmark.*'
