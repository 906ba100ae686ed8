#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages only.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build make python3 python3-pefile
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 xvfb x11-utils imagemagick
  locales fonts-wqy-microhei fonts-wine googletest
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine maps non-ASCII file names through the C library's locale, so the
# Chinese locale must really exist, not just be named.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  echo "generating locale zh_CN.UTF-8"
  $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
