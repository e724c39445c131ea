#!/usr/bin/env bash
# Runs a command (ctest, or the benchmark programs) for a build tree under
# Wine, in the one Wine prefix of both build trees (build/wineprefix; a win64
# prefix runs 32-bit programs too) and inside one X server for the whole run:
#   tools/run-wine.sh BUILD_DIR COMMAND [ARGS...]
set -euo pipefail

build=$(cd "$1" && pwd)

if [ -z "${KVADRA_IN_XVFB:-}" ]; then
  export KVADRA_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

export WINEPREFIX="$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# Wine takes the user locale from LC_ALL; it is given to the command only,
# since this shell has no such locale generated and would complain.
locale=en_US.UTF-8
# No Mono or Gecko install prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="

# Plain `wine` starts Wine's own 32-bit programs once wine32 is installed.
wine64=/usr/lib/wine/wine64
have32=0
/usr/lib/wine/wine --version >/dev/null 2>&1 && have32=1
# A prefix made before wine32 was installed has no 32-bit side.
if [ $have32 -eq 1 ] && [ -f "$WINEPREFIX/system.reg" ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
  echo "run-wine: the Wine prefix has no 32-bit side; making it anew"
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run-wine: creating the Wine prefix"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  # A crashing test must end, not wait in the debugger, in either bitness.
  aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  $wine64 reg add "$aedebug" /v Debugger /t REG_SZ /d "" /f >/dev/null 2>&1 || true
  if [ $have32 -eq 1 ]; then
    wine 'C:\windows\syswow64\reg.exe' add "$aedebug" /v Debugger /t REG_SZ /d "" /f >/dev/null 2>&1 || true
  fi
  wineserver -w
fi
# One virtual desktop for every window: without a window manager on the X
# server, each top-level window would otherwise wait seconds to be mapped.
if ! grep -q 'Explorer\\\\Desktops' "$WINEPREFIX/user.reg" 2>/dev/null; then
  $wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1 || true
  $wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1920x1080 /f >/dev/null 2>&1 || true
  wineserver -w
fi
# The trace file lands here; without the folder nothing is written.
mkdir -p "$WINEPREFIX/drive_c/tmp"

wineserver -p
# Start Wine's own services now: started by a test they would inherit
# ctest's output pipe and keep it waiting.
$wine64 cmd /c exit >/dev/null 2>&1 || true
rc=0
shift
(cd "$build" && env LC_ALL="$locale" LANG="$locale" "$@") || rc=$?
wineserver -k || true
exit $rc
