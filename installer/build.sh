#!/usr/bin/env bash
# Builds the Windows Installer package of one bitness with wixl:
#   installer/build.sh x64|x86 VERSION DLL OUT.msi
# The registration is generated from the registry scripts and the interface
# definition (installer/registry.py); the rest is installer/Kvadra.wxs.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1 version=$2 dll=$3 out=$4
[ -s "$dll" ] || { echo "installer: $dll is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/installer/registry.py" "$arch" "$work"
# wixl finds the files by relative names only, from the current folder.
cp "$dll" "$work/Kvadra.dll"
cp "$root/README.md" "$root/docs/reference.md" "$work/"
# Read in Notepad as often as anywhere else.
sed 's/\r\?$/\r/' "$root/INSTALL.txt" >"$work/INSTALL.txt"

mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
# One product code per version and bitness: a rebuild of a version is the
# same product, which Windows Installer will not install a second time.
code=$(python3 -c 'import sys, uuid
print(str(uuid.uuid5(uuid.UUID("6A3E0C52-7F1B-4B8E-9C2D-5E4F3A2B1C0D"), " ".join(sys.argv[1:]))).upper())' \
  "Kvadra Tessera" "$arch" "$version")
(cd "$work" && wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D ProductCode="$code" -I . -o "$out" \
  "$root/installer/Kvadra.wxs")
