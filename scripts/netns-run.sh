#!/usr/bin/env bash
# Runs inside a fresh network namespace (started with `unshare -n`): sets up the network that the
# tests need, starts Wine in the given prefix (its wineserver and services, started here, see only this
# namespace), runs the command under Wine, and stops that Wine again.
#   netns-run.sh online|offline PREFIX EXE [ARGS...]
# STICKWELL_E2E_READONLY_DIR, when set, names a folder to make read-only for the tests; STICKWELL_E2E_TLS
# the folder of the tests' certificates (scripts/tls-certificates.sh).
# online:  loopback plus a link with a default route, so the connection query says "connected";
#          nothing beyond loopback answers.
# offline: loopback only, so the connection query says "not connected".
set -uo pipefail
mode=$1 prefix=$2
shift 2

ip link set lo up
if [ "$mode" = online ]; then
  ip link add sw-a type veth peer name sw-b
  ip link set sw-a up
  ip link set sw-b up
  ip addr add 10.231.0.1/24 dev sw-a
  ip route add default via 10.231.0.2 dev sw-a
fi

# TLS in front of the tests' HTTP server (which runs inside the test binary, on 127.0.0.1:18080), one
# port per certificate of scripts/tls-certificates.sh; Wine checks the name, so the tests ask for
# https://localhost:<port>/.
fronts=()
if [ "$mode" = online ] && [ -n "${STICKWELL_E2E_TLS:-}" ]; then
  port=18443
  for certificate in trusted expired other-host self-signed; do
    socat "OPENSSL-LISTEN:$port,bind=127.0.0.1,reuseaddr,fork,verify=0,cert=$STICKWELL_E2E_TLS/$certificate.pem" \
      TCP:127.0.0.1:18080 2>/dev/null &
    fronts+=($!)
    port=$((port + 1))
  done
fi
stop_fronts() { [ ${#fronts[@]} -eq 0 ] || kill "${fronts[@]}" 2>/dev/null; }
trap stop_fronts EXIT

# Started with `unshare -m` as well: a read-only mount made here stays inside this namespace.
if [ -n "${STICKWELL_E2E_READONLY_DIR:-}" ]; then
  mount --bind -o ro "$STICKWELL_E2E_READONLY_DIR" "$STICKWELL_E2E_READONLY_DIR"
fi

export WINEPREFIX=$prefix
# A Wine of this prefix still running outside (another tool's) would serve this run from its namespace.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
# There is no window manager in the test screen: let Wine place every window itself, otherwise it
# waits two seconds for a manager that never comes each time a window is hidden. And the screen's
# scaling is the default one, whatever a test that stopped half-way left.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
wine "$@"
status=$?
# Wait until this Wine has gone: a wineserver of this prefix still running would serve the next run,
# with its services in this namespace.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
exit $status
