#!/usr/bin/env bash
# Builds the Windows Installer packages dist/kvadra-tessera-VERSION-x64.msi
# and -x86.msi, and packs the release archive dist/kvadra-tessera-VERSION.zip
# from them, the built DLLs, the README, the reference, the examples and
# INSTALL.txt. Then checks the archive the way a user meets it: unpacked into
# a folder whose path has spaces, the x64 DLL registers and a script host
# creates the control from there; and the packages under Wine's msiexec
# (installer/test.sh).
#   tools/make-dist.sh VERSION
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
version=$1
name="kvadra-tessera-$version"
stage="$root/build/dist-stage"
zip="$root/dist/$name.zip"

for dll in x64 x86; do
  [ -s "$root/dist/$dll/Kvadra.dll" ] || { echo "dist: dist/$dll/Kvadra.dll is missing" >&2; exit 1; }
done

rm -rf "$stage" "$zip"
for arch in x64 x86; do
  "$root/installer/build.sh" $arch "$version" "$root/dist/$arch/Kvadra.dll" "$root/dist/$name-$arch.msi"
  echo "$root/dist/$name-$arch.msi"
done
mkdir -p "$stage/$name/x64" "$stage/$name/x86" "$stage/$name/docs" "$stage/$name/examples" "$stage/$name/include"
cp "$root/dist/x64/Kvadra.dll" "$stage/$name/x64/"
cp "$root/dist/x86/Kvadra.dll" "$stage/$name/x86/"
cp "$root/README.md" "$root/INSTALL.txt" "$root/VERSION" "$root/dist/$name"-x64.msi "$root/dist/$name"-x86.msi \
  "$stage/$name/"
cp "$root/docs/reference.md" "$root"/docs/*.png "$stage/$name/docs/"
cp "$root"/examples/* "$stage/$name/examples/"
# What a C++ host compiles against: the interface definition and what
# widl made of it for this build.
cp "$root/src/resources/kvadra.idl" "$root/build/x64/generated/kvadra.h" "$root/build/x64/generated/kvadra_i.c" \
  "$stage/$name/include/"
# Windows users open these files in Notepad as often as anywhere else.
sed -i 's/\r\?$/\r/' "$stage/$name/INSTALL.txt"
# Fixed times and order: the same sources give the same archive, but for the
# packages in it, which wixl stamps with the time and new codes.
find "$stage/$name" -exec touch -d "2026-01-01 00:00:00" {} +
(cd "$stage" && find "$name" -type f | LC_ALL=C sort | zip -q -X -@ "$zip")
echo "$zip"

# The check: unpack, register, create, unregister, in a prefix of its own.
check="$root/build/dist check/Program Files/Kvadra Tessera $version"
rm -rf "$root/build/dist check"
mkdir -p "$check"
(cd "$check" && cmake -E tar xf "$zip")
for entry in "$name/x64/Kvadra.dll" "$name/x86/Kvadra.dll" "$name/$name-x64.msi" "$name/$name-x86.msi"; do
  [ -s "$check/$entry" ] || { echo "dist: $entry is not in the archive" >&2; exit 1; }
done

export WINEPREFIX="$root/build/dist-prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
# The 64-bit loader for Wine's own programs, also where wine32 is installed.
wine64=wine
[ -x /usr/lib/wine/wine64 ] && wine64=/usr/lib/wine/wine64
dll=$(winepath -w "$check/$name/x64/Kvadra.dll")
script="$root/build/dist check/create.js"
cat >"$script" <<'EOF'
var grid = new ActiveXObject("Kvadra.Tessera.1");
WScript.Echo("created, " + grid.Rows + " x " + grid.Cols);
EOF
rc=0
"$wine64" regsvr32 /s "$dll" || rc=$?
out=$("$wine64" cscript //nologo "$(winepath -w "$script")" 2>/dev/null | tr -d '\r') || true
"$wine64" regsvr32 /s /u "$dll" || true
wineserver -k || true
if [ $rc -ne 0 ] || [ "$out" != "created, 10 x 10" ]; then
  echo "dist: the unpacked x64 DLL did not register and create (regsvr32 $rc, script: '$out')" >&2
  exit 1
fi
echo "dist: checked: unpacked into '$check', registered, created ($out), unregistered"

"$root/installer/test.sh" "$version" "$root/dist/$name-x64.msi" "$root/dist/$name-x86.msi" "$root/dist"
