#!/usr/bin/env bash
# Runs a command (ctest, or the benchmark programs) for a build tree under
# Wine, in a Wine prefix inside that tree and inside one X server for the
# whole run:  tools/run-wine.sh BUILD_DIR COMMAND [ARGS...]
set -euo pipefail

build=$(cd "$1" && pwd)

if [ -z "${KVADRA_IN_XVFB:-}" ]; then
  export KVADRA_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

export WINEPREFIX="$build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# Wine takes the user locale from LC_ALL; it is given to the command only,
# since this shell has no such locale generated and would complain.
locale=en_US.UTF-8
# No Mono or Gecko install prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run-wine: creating the Wine prefix"
  wineboot -i >/dev/null 2>&1 || true
  # A crashing test must end, not wait in the debugger.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /t REG_SZ /d "" /f >/dev/null 2>&1 || true
  wineserver -w
fi
# One virtual desktop for every window: without a window manager on the X
# server, each top-level window would otherwise wait seconds to be mapped.
if ! grep -q 'Explorer\\\\Desktops' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1920x1080 /f >/dev/null 2>&1 || true
  wineserver -w
fi
# The trace file lands here; without the folder nothing is written.
mkdir -p "$WINEPREFIX/drive_c/tmp"

wineserver -p
# Start Wine's own services now: started by a test they would inherit
# ctest's output pipe and keep it waiting.
wine cmd /c exit >/dev/null 2>&1 || true
rc=0
shift
(cd "$build" && env LC_ALL="$locale" LANG="$locale" "$@") || rc=$?
wineserver -k || true
exit $rc
