#!/usr/bin/env bash
# The Windows build of stickwell-page under Wine and the native one share keys and signatures: a key
# made natively signs under Wine and the release verifies natively, and the other way round.
#   tests/sign-under-wine.sh   (after the native and windows builds; STICKWELL_WINDOWS_BIN names
#                               another bin folder of a Windows build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$root/build/native/bin/stickwell-page
work=$(mktemp -d /tmp/stickwell-sign.XXXXXX)
# A prefix of its own, without the .NET and HTML engines a console tool never needs; or one made
# already, which the test command passes (STICKWELL_WINE_PREFIX) to save making another.
export WINEPREFIX=${STICKWELL_WINE_PREFIX:-$work/prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
# One server for all the runs below, and the prefix made before the first of them.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1

other_key=$(sed -n 's/^public-key //p' "$root/tests/e2e/keys/other.key")
round() {  # KEYGEN SIGNER VERIFIER, each a ;-list
  cmake "-DKEYGEN=$1" "-DSIGNER=$2" "-DVERIFIER=$3" "-DPAGE=$root/tests/pages/update-usual.html" \
    "-DOTHER_KEY=$other_key" "-DWORK=$work/round" -P "$root/tests/pages/SignAndVerify.cmake"
}
wine_tool="wine;${STICKWELL_WINDOWS_BIN:-$root/build/windows/bin}/stickwell-page.exe"
round "$native" "$wine_tool" "$native"
round "$wine_tool" "$native" "$wine_tool"
echo "sign-under-wine: keys and signatures agree between the native and the Windows tool"
