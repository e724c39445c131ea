#!/usr/bin/env bash
# Builds the test or benchmark programs of both bitnesses on every machine,
# so that a fault only the 32-bit compiler sees fails everywhere, then runs
# them: the x64 ones always, the x86 ones where the 32-bit Wine (wine32:i386)
# is installed and starts, else with a notice. Fails when any step fails.
#   tools/run-both.sh test|bench
set -uo pipefail
cd "$(dirname "$0")/.."
mode=$1
jobs=${JOBS:-2}

build() {
  echo "==== $1: building the $mode programs"
  cmake --build "build/$1" -j "$jobs"
}

run() {
  local arch=$1 dir=build/$1
  echo "==== $arch: running the ${mode}s"
  case $mode in
    test) tools/run-wine.sh "$dir" ctest --output-on-failure ;;
    bench)
      # Benchmarks that host the control in a container create it by its
      # ProgID: registered first, by the regsvr32 of the DLL's bitness.
      local src="$PWD/bench" reg="/usr/lib/wine/wine64 regsvr32"
      [ "$arch" = x86 ] && reg="wine C:\\windows\\syswow64\\regsvr32.exe"
      tools/run-wine.sh "$dir" sh -c '$1 /s Kvadra.dll || exit 1; for s in "$0"/*.cpp; do n=$(basename "$s" .cpp); echo "== $n"; wine "bench/bench_$n.exe" || exit 1; done' "$src" "$reg" ;;
  esac
}

build x64 && build x86 || { echo "==== $mode: FAILED to build"; exit 1; }
rc=0
run x64 || rc=1
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  run x86 || rc=1
else
  echo "****************************************************************"
  echo "NOTICE: the 32-bit Wine (wine32:i386) is not installed here, or"
  echo "cannot start, so the x86 $mode run is skipped; only the x64 DLL"
  echo "was run."
  echo "****************************************************************"
fi
[ $rc -eq 0 ] && echo "==== $mode: all runs passed" || echo "==== $mode: FAILED"
exit $rc
