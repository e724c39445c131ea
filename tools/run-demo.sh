#!/usr/bin/env bash
# Registers the x64 DLL in the demo's own Wine prefix and runs the demo host.
# With an X display the window stays until it is closed; without one the
# host runs in Xvfb and writes a PNG picture of the sheet; given three PNG
# paths it writes pictures of the General, Cells and Control Size pages.
# KVADRA_DPI sets the screen's DPI in the prefix (96 when empty).
#   tools/run-demo.sh DEMO_EXE DLL PNG_PATH
#   tools/run-demo.sh DEMO_EXE DLL GENERAL_PNG CELLS_PNG SIZE_PNG
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "$1")
dll=$(realpath "$2")
pngs=()
for p in "${@:3}"; do pngs+=("$(realpath -m "$p")"); done

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
# Wine reads the DPI when a process starts; it is set on every run, so that
# a run without KVADRA_DPI is at 96 again.
/usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${KVADRA_DPI:-96}" /f \
  >/dev/null 2>&1
/usr/lib/wine/wine64 regsvr32 /s "$(winepath -w "$dll" 2>/dev/null)"
rc=0
if [ -n "${KVADRA_IN_XVFB:-}" ]; then
  args=()
  for p in "${pngs[@]}"; do
    mkdir -p "$(dirname "$p")"
    rm -f "$p"
    args+=("$(winepath -w "$p" 2>/dev/null)")
  done
  if [ ${#pngs[@]} -eq 3 ]; then mode=/pages; else mode=/png; fi
  env LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8 wine "$exe" $mode "${args[@]}" >/dev/null || rc=$?
  for p in "${pngs[@]}"; do
    if [ $rc -eq 0 ] && [ -s "$p" ]; then echo "$p"; else echo "demo: no picture written to $p" >&2; rc=1; fi
  done
  wineserver -k || true
else
  env LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8 wine "$exe" || rc=$?
fi
exit $rc
