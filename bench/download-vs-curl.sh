#!/usr/bin/env bash
# Measures the updater's downloads against curl on a 64 MiB file from the loopback test server, after a
# warm-up, in one run and one network namespace: first the download code alone (HttpDownload, under
# Wine, staged into a new file and flushed), with and without its SHA-256; then whole updates through
# Renewick.exe's download window (from its status line naming the file to the countdown after the
# install), once in the windows-e2e build, which has a key and hashes every file, once in the
# windows-bench build, which has none. Each alternates with curl (native, written to the same kind of
# folder), plain and followed by an fsync of the file it wrote, and prints the throughput ratios against
# both; the goal of at least 0.9 against curl with the fsync is checked where no hash is taken.
#   bench/download-vs-curl.sh          (needs the native build for the test pages' signatures)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset windows-e2e >/dev/null
cmake --preset windows-bench >/dev/null
status=0
scripts/bench-e2e.sh --gtest_filter='DownloadBenchmark.*' || status=1
STICKWELL_E2E_BUILD=windows-bench scripts/bench-e2e.sh --gtest_filter='DownloadBenchmark.*Window*' || status=1
exit $status
