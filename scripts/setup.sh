#!/usr/bin/env bash
# Installs what building and testing Stickwell needs on Debian 12, when it is missing. Quick when
# everything is there already. Run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool imagemagick locales fonts-wqy-microhei
  iproute2 util-linux curl libssl-dev openssl socat zip unzip
)
if [ "${1:-}" = "--run-only" ]; then
  packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 xvfb locales fonts-wqy-microhei)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine reads the ANSI code page from the locale: zh_CN.UTF-8 gives code page 936 (GBK).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
