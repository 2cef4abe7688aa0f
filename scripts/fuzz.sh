#!/usr/bin/env bash
# Fuzzes what reads pages from the network: the page readers, the text routines and the makers' report
# (the three targets of the fuzz preset), one after the other, each from the seeds in fuzz/corpus and
# tests/pages with the markers of fuzz/page.dict. Builds the fuzz preset first.
#   scripts/fuzz.sh                     30 seconds in all (STICKWELL_FUZZ_SECONDS), as scripts/test.sh runs it
#   scripts/fuzz.sh --seconds 3600      longer
#   scripts/fuzz.sh --runs 10000000     each target until it has run that many inputs, however long it takes
# Prints each target's runs and speed. A fault fails the script and keeps the input that found it in
# build/fuzz/artifacts/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=${STICKWELL_FUZZ_SECONDS:-30}
runs=
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --runs) runs=$2; seconds=; shift 2 ;;
    *) echo "usage: scripts/fuzz.sh [--seconds N | --runs N]" >&2; exit 2 ;;
  esac
done

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

# Shares of the time: the readers hold the most rules, the decoder and RemoveAll the fewest lines.
targets=(page:50 report:30 text:20)
# The fuzzer writes every input that finds something new as a file of its own: in memory where the
# machine has a tmpfs, which keeps the report target several hundredths faster than on this disk.
work=$(mktemp -d /dev/shm/stickwell-fuzz.XXXXXX 2>/dev/null || mktemp -d /tmp/stickwell-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
artifacts=$root/build/fuzz/artifacts
mkdir -p "$artifacts"

# Each input allocates dozens of strings; recording where each block came from costs the report target
# an eighth of its speed. A fault is still caught, located and kept; to see where a freed or overrun
# block was allocated, run its kept input again with ASAN_OPTIONS unset.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}

status=0
total=0
for entry in "${targets[@]}"; do
  target=${entry%%:*} share=${entry##*:}
  mkdir "$work/$target"
  cp fuzz/corpus/* tests/pages/*.html "$work/$target"/
  limit=(-runs="$runs")
  [ -n "$seconds" ] && limit=(-max_total_time=$(( seconds * share / 100 > 0 ? seconds * share / 100 : 1 )))
  # An input that takes seconds is a fault too: every reader is linear in the page.
  if build/fuzz/bin/stickwell-$target-fuzzer "${limit[@]}" -dict=fuzz/page.dict -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$artifacts/$target-" "$work/$target" >"$work/$target.log" 2>&1; then
    done_runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$target.log")
    total=$((total + done_runs))
    echo "fuzz: $target: $done_runs runs, $speed a second, no fault"
  else
    status=1
    tail -n 40 "$work/$target.log"
    echo "fuzz: $target: a fault; the input is in $artifacts" >&2
  fi
done
[ $status -eq 0 ] && echo "fuzz: $total runs in all"
exit $status
