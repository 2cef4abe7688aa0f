#!/usr/bin/env bash
# Checks that the release programs depend on nothing but the sources, the version and the public key:
# builds them from two copies of this work tree's sources, in two folders of different names, one
# after the other, and compares the two builds byte for byte. With --against FOLDER it builds once and
# compares with the Stickwell.exe and Renewick.exe in FOLDER: a release that scripts/release.sh wrote,
# or the programs a maker published (built from the commit checked out here).
#   scripts/check-reproducible.sh [VERSION] [--public-key KEY] [--against FOLDER]
# VERSION is major.minor.revision, 13.4.20 when not given; KEY the public key the programs carry.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage() { echo "check-reproducible: $1; usage: scripts/check-reproducible.sh [VERSION] [--public-key KEY] [--against FOLDER]" >&2; exit 2; }

version=13.4.20 public_key= against=
while [ $# -gt 0 ]; do
  case $1 in
    --public-key|--against) [ $# -ge 2 ] || usage "$1 needs a value" ;;&
    --public-key) public_key=$2; shift 2 ;;
    --against) against=$(cd "$2" && pwd) || usage "no folder $2"; shift 2 ;;
    -*) usage "unknown option $1" ;;
    *) version=$1; shift ;;
  esac
done

work=$(mktemp -d /tmp/stickwell-reproduce.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Copies the work tree's sources (what git tracks, and new files it does not ignore) into FOLDER and
# builds the programs there with the windows preset; the build folder lies inside the copy.
build() {
  mkdir -p "$1"
  (cd "$root" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
    xargs -0 cp --parents -t "$1")
  (cd "$1" && cmake --preset windows -DSTICKWELL_VERSION="$version" -DSTICKWELL_UPDATE_PUBLIC_KEY="$public_key" >/dev/null &&
    cmake --build --preset windows --target Stickwell Renewick >"$work/build.log") ||
    { cat "$work/build.log" >&2; exit 1; }
  echo "$1/build/windows/bin"
}

first=${against:-$(build "$work/one")}
second=$(build "$work/a-second-copy-in-a-folder-with-a-longer-name")
status=0
for program in Stickwell.exe Renewick.exe; do
  if cmp -s "$first/$program" "$second/$program"; then
    echo "check-reproducible: $program identical: $(sha256sum <"$second/$program" | cut -d' ' -f1)"
  else
    echo "check-reproducible: $program differs in $(cmp -l "$first/$program" "$second/$program" 2>&1 | wc -l) bytes" >&2
    status=1
  fi
done
exit $status
