#!/usr/bin/env bash
# Installs what is missing, builds Stickwell.exe and Renewick.exe, and starts a note under Wine on
# the current display. Without a display, run it inside Xvfb:
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/run.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh --run-only
cmake --preset windows >/dev/null
cmake --build --preset windows

# The note keeps its files beside its executable: give it a program folder of its own.
folder=$root/build/program
mkdir -p "$folder"
cp build/windows/bin/Stickwell.exe build/windows/bin/Renewick.exe "$folder/"

if [ -z "${DISPLAY:-}" ]; then
  echo "run: no DISPLAY; start it inside Xvfb: xvfb-run -a -s \"-screen 0 1280x1024x24\" scripts/run.sh" >&2
  exit 1
fi
export LANG=zh_CN.UTF-8 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
echo "run: starting a note from $folder"
exec wine "$folder/Stickwell.exe"
