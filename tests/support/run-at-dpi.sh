#!/bin/sh
# Runs a test program with the screen at another DPI. Wine reads the DPI
# when a process starts, from the prefix's registry, so the program runs in
# a prefix of its own: a copy of the test prefix that shares its files by
# hard links but has registry files of its own. The DLL (of 32 or 64 bits)
# is registered there first.
#   run-at-dpi.sh DPI 32|64 DLL PROGRAM [ARGS...]
set -u
dpi=$1 bits=$2 dll=$3
shift 3
base=${WINEPREFIX:?run under tools/run-wine.sh}
copy=$base-$dpi
rm -rf "$copy"
cp -al "$base" "$copy" || exit 1
for f in system.reg user.reg userdef.reg; do cp --remove-destination "$base/$f" "$copy/$f" || exit 1; done
rm -f "$copy/wineserver" "$copy/drive_c/tmp/log"
export WINEPREFIX="$copy"

# Wine's services start here, with their output dropped, so that they do
# not hold the test's output open.
wine64=/usr/lib/wine/wine64
$wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
if [ "$bits" = 64 ]; then
  $wine64 regsvr32 /s "$dll" >/dev/null 2>&1
else
  wine 'C:\windows\syswow64\regsvr32.exe' /s "$dll" >/dev/null 2>&1
fi
KVADRA_TEST_DPI=$dpi wine "$@"
rc=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit $rc
