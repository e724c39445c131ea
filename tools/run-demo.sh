#!/usr/bin/env bash
# Registers the x64 DLL in the demo's own Wine prefix and runs the demo host.
# With an X display the window stays until it is closed; without one the
# host runs in Xvfb and writes a PNG picture of the sheet.
#   tools/run-demo.sh DEMO_EXE DLL PNG_PATH
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "$1")
dll=$(realpath "$2")
png=$(realpath -m "$3")

if [ -z "${DISPLAY:-}" ] && [ -z "${KVADRA_IN_XVFB:-}" ]; then
  export KVADRA_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

export WINEPREFIX="$root/build/demo-prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "demo: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
mkdir -p "$WINEPREFIX/drive_c/tmp"

# The 64-bit loader: plain `wine` starts the 32-bit regsvr32 once wine32 is installed.
/usr/lib/wine/wine64 regsvr32 /s "$(winepath -w "$dll" 2>/dev/null)"
rc=0
if [ -n "${KVADRA_IN_XVFB:-}" ]; then
  mkdir -p "$(dirname "$png")"
  rm -f "$png"
  env LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8 wine "$exe" /png "$(winepath -w "$png" 2>/dev/null)" >/dev/null || rc=$?
  if [ $rc -eq 0 ] && [ -s "$png" ]; then echo "$png"; else echo "demo: no picture written" >&2; rc=1; fi
  wineserver -k || true
else
  env LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8 wine "$exe" || rc=$?
fi
exit $rc
