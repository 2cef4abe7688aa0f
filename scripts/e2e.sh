#!/usr/bin/env bash
# Runs the end-to-end tests: the real programs under Wine in a private Xvfb screen, with the Chinese
# locale (code page 936). Online tests run in a network namespace of their own; the Offline ones in a
# second namespace that has only loopback.
#   scripts/e2e.sh [extra gtest arguments]
#   scripts/e2e.sh --prepare      only creates the Wine prefix and the tests' certificates (test.sh does
#                                 it while other work runs)
# STICKWELL_E2E_BINARY names another test binary (the benchmarks' one), STICKWELL_E2E_BUILD another
# build folder under build/ than windows-e2e (windows-bench); every build runs in the one Wine prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/${STICKWELL_E2E_BUILD:-windows-e2e}/bin
binary=${STICKWELL_E2E_BINARY:-stickwell-e2e.exe}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# One Wine prefix, made once per build folder (creating one takes half a minute) and used by every run
# in both namespaces: each run starts its own wineserver and services inside its namespace, and the
# tests leave nothing behind in it but what the next lines reset.
prefix=$root/build/windows-e2e/wine
if [ ! -e "$prefix/.ready" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix"
  WINEPREFIX=$prefix DISPLAY= wineboot -i >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  touch "$prefix/.ready"
fi
# The tests' TLS servers (scripts/netns-run.sh starts them) show certificates of a test authority that
# this prefix alone trusts; they are made, and the authority trusted, once per prefix.
export STICKWELL_E2E_TLS=$prefix/test-tls
if [ ! -e "$STICKWELL_E2E_TLS/.trusted" ]; then
  rm -rf "$STICKWELL_E2E_TLS"
  "$root/scripts/tls-certificates.sh" "$STICKWELL_E2E_TLS"
  WINEPREFIX=$prefix DISPLAY= wine reg import "$STICKWELL_E2E_TLS/authority.reg" >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  touch "$STICKWELL_E2E_TLS/.trusted"
fi
[ "${1:-}" = --prepare ] && exit 0
rm -rf "$prefix"/drive_c/users/*/Temp/sw-* "$prefix"/drive_c/users/*/AppData/Local/Temp/sw-* \
  "$prefix"/drive_c/users/*/AppData/Local/Stickwell

work=$(mktemp -d /tmp/stickwell-e2e.XXXXXX)
display=90
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
Xvfb :$display -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
cleanup() {
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  kill $xvfb 2>/dev/null || true
  wait $xvfb 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
export DISPLAY=:$display LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# A stand-in browser: Wine opens web pages with xdg-open; the tests read what was opened from a log.
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<'BROWSER'
#!/bin/sh
printf '%s\n' "$*" >>"$STICKWELL_E2E_BROWSER_LOG"
BROWSER
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH" STICKWELL_E2E_BROWSER_LOG="$work/browser.log"
: >"$STICKWELL_E2E_BROWSER_LOG"
rm -rf "$bin/screenshots"

# The makers' side: the native stickwell-page signs the tests' releases with the keys of tests/e2e/keys.
export STICKWELL_E2E_SIGNER=$root/build/native/bin/stickwell-page STICKWELL_E2E_KEYS=$root/tests/e2e/keys STICKWELL_E2E_WORK=$work
[ -x "$STICKWELL_E2E_SIGNER" ] || { echo "e2e: build the native preset first (it makes stickwell-page)" >&2; exit 1; }

# The same programs linked without the makers' key, for the tests of what such a build accepts.
export STICKWELL_E2E_KEYLESS_BIN=${STICKWELL_E2E_KEYLESS_BIN:-$bin/keyless}

# A program folder that nothing can be written into: netns-run.sh mounts it read-only inside the
# tests' namespace (root writes anywhere, so a permission bit would not do).
export STICKWELL_E2E_READONLY_DIR=$work/readonly
mkdir -p "$STICKWELL_E2E_READONLY_DIR"
cp "$bin/Stickwell.exe" "$STICKWELL_E2E_READONLY_DIR/"

# A --gtest_filter among the arguments narrows both runs: the online run never takes Offline* tests,
# and the offline run takes only the filter's patterns that name Offline* tests ("*" names them all).
filter='*'
args=()
for arg in "$@"; do
  case $arg in
    --gtest_filter=*) filter=${arg#--gtest_filter=} ;;
    *) args+=("$arg") ;;
  esac
done
positive=${filter%%-*}
negative=
[[ "$filter" == *-* ]] && negative=${filter#*-}
offline_patterns=
IFS=: read -r -a patterns <<<"${positive:-*}"
for pattern in "${patterns[@]}"; do
  case $pattern in
    '*') offline_patterns+=":Offline*" ;;
    Offline*) offline_patterns+=":$pattern" ;;
  esac
done
online_filter="${positive:-*}-Offline*${negative:+:$negative}"

# A run that hangs fails instead of holding up the whole suite.
limit=${STICKWELL_E2E_LIMIT:-15m}
status=0
timeout -k 30 "$limit" unshare -n -m "$root/scripts/netns-run.sh" online "$prefix" "$bin/$binary" \
  --gtest_filter="$online_filter" "${args[@]}" || status=1
if [ -n "$offline_patterns" ]; then
  STICKWELL_E2E_OFFLINE=1 timeout -k 30 "$limit" unshare -n -m "$root/scripts/netns-run.sh" offline "$prefix" \
    "$bin/$binary" --gtest_filter="${offline_patterns#:}${negative:+-$negative}" "${args[@]}" || status=1
fi

if [ -d "$bin/screenshots" ]; then
  for shot in "$bin"/screenshots/*.bmp; do
    [ -e "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
  done
  echo "e2e: screenshots in $bin/screenshots"
fi
exit $status
