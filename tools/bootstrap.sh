#!/usr/bin/env bash
# Installs the Debian packages the cross build and the Wine test run need,
# but only those that are missing. Never enables i386 multiarch: the i386
# index fails on our mirror and wine32 cannot be had anyway.
set -euo pipefail

pkgs=(
  g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix
  mingw-w64-tools
  libwine-dev
  wine
  wine64
  fonts-wine
  xvfb
  xauth
  googletest
  cmake
  make
  python3
  zip
)

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "bootstrap: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
