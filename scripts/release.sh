#!/usr/bin/env bash
# Builds a release of Stickwell from this work tree, in a clean build folder, and writes it to
# dist/<version text>/: Stickwell.exe, Renewick.exe, the complete package Stickwell-<version text>.zip,
# SHA256SUMS and, with a key, signed.html, the signed paragraph for the two programs.
#   scripts/release.sh VERSION [--key KEYFILE | --public-key KEY] [--allow-dirty] [--out FOLDER]
# VERSION is major.minor.revision (13.4.21 makes dist/13.04.21/). --key builds the key file's public
# half into the programs and signs them with its private half; --public-key only builds the public key
# in (to sign elsewhere, or to check a published release). --allow-dirty builds uncommitted changes
# too; --out writes the release to another folder. The same commit, version and key always give the
# same bytes (scripts/check-reproducible.sh checks it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage() { echo "release: $1; usage: scripts/release.sh VERSION [--key KEYFILE | --public-key KEY] [--allow-dirty] [--out FOLDER]" >&2; exit 2; }

version= key_file= public_key= allow_dirty= out=
while [ $# -gt 0 ]; do
  case $1 in
    --key|--public-key|--out) [ $# -ge 2 ] || usage "$1 needs a value" ;;&
    --key) key_file=$(realpath -m "$2"); shift 2 ;;
    --public-key) public_key=$2; shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    --allow-dirty) allow_dirty=1; shift ;;
    -*) usage "unknown option $1" ;;
    *) [ -z "$version" ] || usage "one version only"; version=$1; shift ;;
  esac
done
[[ "$version" =~ ^([0-9]|[1-9][0-9])\.([0-9]|[1-9][0-9])\.([0-9]|[1-9][0-9])$ ]] ||
  usage "give the version as major.minor.revision, each from 0 to 99: 13.4.21"
text=$(printf '%02d.%02d.%02d' "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" "${BASH_REMATCH[3]}")
[ -z "$key_file" ] || [ -z "$public_key" ] || usage "--key holds the public key already: give one of --key and --public-key"
if [ -n "$key_file" ]; then
  [ -r "$key_file" ] || { echo "release: cannot read the key file $key_file" >&2; exit 2; }
  public_key=$(sed -n 's/^public-key \([^[:space:]]*\)\r\{0,1\}$/\1/p' "$key_file")
  [ -n "$public_key" ] || { echo "release: $key_file holds no public-key line: not a key file stickwell-page keygen wrote" >&2; exit 2; }
fi

cd "$root"
commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain)" ]; then
  [ -n "$allow_dirty" ] || { echo "release: the work tree has uncommitted changes (git status); commit them, or give --allow-dirty" >&2; exit 2; }
  built_from="commit $commit with uncommitted changes"
else
  built_from="commit $commit"
fi
out=${out:-dist/$text}

# The Windows programs as users get them, from nothing: the windows preset with this version and key.
build=$root/build/release
rm -rf "$build"
cmake --preset windows -B "$build" -DSTICKWELL_VERSION="$version" -DSTICKWELL_UPDATE_PUBLIC_KEY="$public_key" >/dev/null
cmake --build "$build" --target Stickwell Renewick

rm -rf "$out"
mkdir -p "$out"
cp "$build/bin/Stickwell.exe" "$build/bin/Renewick.exe" "$out/"
# The package holds the two programs, in this order, with the commit's time and plain permissions: no
# owner, no access time and no time zone of the machine that packs it.
chmod 644 "$out/Stickwell.exe" "$out/Renewick.exe"
touch -d "@$(git log -1 --format=%ct HEAD)" "$out/Stickwell.exe" "$out/Renewick.exe"
(cd "$out" && TZ=UTC zip -X -D -q "Stickwell-$text.zip" Stickwell.exe Renewick.exe)
(cd "$out" && sha256sum Stickwell.exe Renewick.exe "Stickwell-$text.zip" >SHA256SUMS)
if [ -n "$key_file" ]; then
  [ -f build/native/CMakeCache.txt ] || cmake --preset native >/dev/null
  cmake --build --preset native --target stickwell-page >/dev/null
  (cd "$out" && "$root/build/native/bin/stickwell-page" sign --key "$key_file" --version "$text" Stickwell.exe Renewick.exe >signed.html)
fi

echo
echo "release: Stickwell $text from $built_from${public_key:+, public key $public_key}"
echo "release: in $out: $(cd "$out" && echo *)"
cat "$out/SHA256SUMS"
