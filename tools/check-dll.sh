#!/usr/bin/env bash
# Checks a built Kvadra.dll: exactly the four entry points are exported and
# nothing from the MinGW runtime is imported (it is linked in statically).
set -euo pipefail
status=0
for dll in "$@"; do
  dump=$(x86_64-w64-mingw32-objdump -p "$dll")
  exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[/{print $NF}' | grep -v Table | sort | tr '\n' ' ')
  want="DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer "
  if [ "$exports" != "$want" ]; then
    echo "check-dll: $dll exports: $exports"; status=1
  fi
  if printf '%s\n' "$dump" | grep -iE 'DLL Name: (libgcc|libstdc|libwinpthread)'; then
    echo "check-dll: $dll imports a MinGW runtime DLL"; status=1
  fi
done
exit $status
