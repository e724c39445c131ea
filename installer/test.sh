#!/usr/bin/env bash
# Checks the Windows Installer packages under Wine's msiexec, each bitness in
# a fresh Wine prefix of its own:
#   installer/test.sh VERSION X64.msi X86.msi DIST_DIR
# For each package:
#  1. it installs silently, the files are in place, and it is listed once
#     among the installed programs;
#  2. a script of its bitness creates the control;
#  3. it uninstalls silently and nothing of it remains;
#  4. the keys it wrote are, key by key and value by value, those regsvr32
#     writes for the same DLL at the installed path;
#  5. installed beside the other bitness's package, it keeps its registration
#     whole when that one is removed (they share keys: HKCR\TypeLib, the
#     ProgIDs, the 32-bit interface keys);
#  6. a package of a higher version installs over it: one entry stays, with
#     the newer DLL in place and the same keys; the older one then refuses
#     to install.
# Where this machine cannot run 32-bit programs, the x86 package is only
# checked by its tables, and step 5 is left out.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
version=$1
declare -A pkg=([x64]=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
                [x86]=$(cd "$(dirname "$3")" && pwd)/$(basename "$3"))
dist=$(cd "$4" && pwd)
work="$root/build/installer-test"
rm -rf "$work"
mkdir -p "$work"

export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="
wine64=wine
[ -x /usr/lib/wine/wine64 ] && wine64=/usr/lib/wine/wine64
have32=0
/usr/lib/wine/wine --version >/dev/null 2>&1 && have32=1

declare -A bits=([x64]=64-bit [x86]=32-bit)
declare -A folder=([x64]='Program Files' [x86]='Program Files (x86)')
arch=""
fail() { echo "installer test ($arch): $*" >&2; exit 1; }

# --- the tables, for both packages ---------------------------------------

table() { msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'; }
for arch in x64 x86; do
  p=${pkg[$arch]}
  want=$([ $arch = x64 ] && echo 'x64;1033' || echo 'Intel;1033')
  msiinfo suminfo "$p" | grep -qx "Template: $want" || fail "the summary does not name the platform $want"
  ! msiinfo tables "$p" | tr -d '\r' | grep -qx SelfReg || [ -z "$(table "$p" SelfReg)" ] || fail "the package self-registers"
  msiextract -C "$work/extract-$arch" "$p" >/dev/null
  cmp -s "$(find "$work/extract-$arch" -name Kvadra.dll)" "$dist/$arch/Kvadra.dll" ||
    fail "the package does not hold dist/$arch/Kvadra.dll"
done
# The two packages register alike, but for the 64-bit view's interface keys
# (written by the x64 package alone), the type library's path and the folder.
arch=x86
# The first column, the row's name, is made from the rest.
diff <(table "${pkg[x64]}" Registry | cut -f 2- | grep -v "^0	Interface\\\\.*	Control$" |
         sed 's/\\win64	/\\win32	/; s/ProgramFiles64Folder/ProgramFilesFolder/' | sort) \
     <(table "${pkg[x86]}" Registry | cut -f 2- | sort) >"$work/tables.diff" ||
  fail "its registry table differs from the x64 package's: $work/tables.diff"
echo "installer: checked the tables of both packages"

# --- under Wine, per bitness ---------------------------------------------

# Programs of the package's bitness, and of the other.
run() {
  local which=$1 prog=$2
  shift 2
  if [ "$which" = x64 ]; then "$wine64" "$prog" "$@"; else wine "C:\\windows\\syswow64\\$prog.exe" "$@"; fi
}
msi() {
  local which=$1 op=$2 log="$work/$1-$(date +%s%N).log"
  run "$which" msiexec "$op" "$(winepath -w "${3:-${pkg[$which]}}")" /qn /l*v "$(winepath -w "$log")" ||
    fail "msiexec $op ${3:-${pkg[$which]}} failed, see $log"
}
# The registry as it is now: wineserver writes it out as it ends. Far
# quicker than `reg export`, and it holds both views and all of HKLM.
snap() {
  wineserver -k 2>/dev/null || true
  wineserver -w
  cat "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" >"$work/$arch/$1.reg"
  wineserver -p >/dev/null 2>&1
}
# What changed since the fresh prefix: "all", or only the keys written for
# the classes ("classes").
changes() {
  python3 "$root/installer/regdiff.py" "$work/$arch/fresh.reg" "$work/$arch/$1.reg" "$2"
}
nothing_left() {
  snap "$1"
  changes "$1" all >"$work/$arch/$1.diff"
  [ ! -s "$work/$arch/$1.diff" ] || fail "$2 left keys behind: $work/$arch/$1.diff"
  [ ! -e "$dir" ] || fail "$2 left $dir behind"
  [ -z "$(ls "$WINEPREFIX/drive_c/windows/Installer" 2>/dev/null)" ] || fail "$2 left a cached package behind"
}
# The entries for this bitness in the list of installed programs, as
# "name version" lines.
listed() {
  python3 "$root/installer/regdiff.py" --listed "$work/$arch/$1.reg" "Kvadra Tessera (${bits[$arch]})"
}
create() {
  out=$(run "$arch" cscript //nologo "$(winepath -w "$work/create.js")" 2>/dev/null | tr -d '\r') || true
  [ "$out" = "created, 10 x 10" ] || fail "$1: the script did not create the control: '$out'"
}

: >"$work/nothing.js"
cat >"$work/create.js" <<'EOF'
var grid = new ActiveXObject("Kvadra.Tessera");
WScript.Echo("created, " + grid.Rows + " x " + grid.Cols);
EOF
# A higher version, with a DLL told apart by a few bytes past its end.
next=$(echo "$version" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')

archs=(x64)
[ $have32 -eq 1 ] && archs+=(x86) || echo "installer: this machine runs no 32-bit programs: the x86 package is not installed"
for arch in "${archs[@]}"; do
  other=$([ $arch = x64 ] && echo x86 || echo x64)
  export WINEPREFIX="$work/$arch/prefix"
  mkdir -p "$WINEPREFIX"
  # A lasting server: each start costs a fraction of a second.
  wineserver -p >/dev/null 2>&1
  trap 'wineserver -k 2>/dev/null || true' EXIT
  wineboot -i >/dev/null 2>&1 || true
  # The script hosts register their own type library when first run.
  run x64 cscript //nologo "$(winepath -w "$work/nothing.js")" >/dev/null 2>&1 || true
  [ $have32 -eq 0 ] || run x86 cscript //nologo "$(winepath -w "$work/nothing.js")" >/dev/null 2>&1 || true
  dir="$WINEPREFIX/drive_c/${folder[$arch]}/Kvadra Tessera"
  windll="C:\\${folder[$arch]}\\Kvadra Tessera\\Kvadra.dll"
  snap fresh

  # 1-3: install, create, uninstall.
  msi $arch /i
  for f in Kvadra.dll INSTALL.txt README.md reference.md; do
    [ -s "$dir/$f" ] || fail "$f was not installed into $dir"
  done
  cmp -s "$dir/Kvadra.dll" "$dist/$arch/Kvadra.dll" || fail "the installed DLL is not dist/$arch/Kvadra.dll"
  snap installed
  [ "$(listed installed)" = "Kvadra Tessera (${bits[$arch]}) $version" ] ||
    fail "the installed programs list: $(listed installed)"
  changes installed classes >"$work/$arch/package.keys"
  create "installed"
  msi $arch /x
  nothing_left removed "uninstalling"

  # 4: what regsvr32 writes for the same DLL in the same place.
  mkdir -p "$dir"
  cp "$dist/$arch/Kvadra.dll" "$dir/"
  run $arch regsvr32 /s "$windll" || fail "regsvr32 failed"
  snap regsvr32
  changes regsvr32 classes >"$work/$arch/regsvr32.keys"
  if [ $arch = x86 ]; then
    # The 32-bit RegisterTypeLib writes the interfaces' keys in the 64-bit
    # view too, where a 32-bit package cannot write.
    grep -v '^+ \[HKLM\\Software\\Classes\\Interface\\' "$work/$arch/regsvr32.keys" >"$work/$arch/regsvr32.32"
    mv "$work/$arch/regsvr32.32" "$work/$arch/regsvr32.keys"
  fi
  diff -u "$work/$arch/regsvr32.keys" "$work/$arch/package.keys" >"$work/$arch/keys.diff" ||
    fail "the package's keys differ from regsvr32's: $work/$arch/keys.diff"
  run $arch regsvr32 /s /u "$windll" || fail "regsvr32 /u failed"
  rm -rf "$dir"
  nothing_left unregistered "regsvr32 /u"
  echo "installer: $arch: installed, created, uninstalled; $(grep -c '^+ \[.*\]$' "$work/$arch/package.keys") keys as regsvr32 writes them"

  # 5: beside the other bitness, which goes first.
  if [ $have32 -eq 1 ]; then
    msi $other /i
    msi $arch /i
    msi $other /x
    snap beside
    changes beside classes >"$work/$arch/beside.keys"
    diff -u "$work/$arch/package.keys" "$work/$arch/beside.keys" >"$work/$arch/beside.diff" ||
      fail "removing the $other package changed this one's keys: $work/$arch/beside.diff"
    create "after the $other package was removed"
    msi $arch /x
    nothing_left removed-beside "uninstalling both"
    echo "installer: $arch: the $other package came and went, this one's keys stayed"
  fi

  # 6: the upgrade.
  cp "$dist/$arch/Kvadra.dll" "$work/$arch/Kvadra.dll"
  printf 'kvadra %s' "$next" >>"$work/$arch/Kvadra.dll"
  "$root/installer/build.sh" $arch "$next" "$work/$arch/Kvadra.dll" "$work/$arch/next.msi"
  msi $arch /i
  msi $arch /i "$work/$arch/next.msi"
  snap upgraded
  [ "$(listed upgraded)" = "Kvadra Tessera (${bits[$arch]}) $next" ] ||
    fail "after the upgrade the installed programs list: $(listed upgraded)"
  cmp -s "$dir/Kvadra.dll" "$work/$arch/Kvadra.dll" || fail "the upgrade did not put the newer DLL in place"
  changes upgraded classes | diff -u "$work/$arch/package.keys" - >"$work/$arch/upgraded.diff" ||
    fail "after the upgrade the keys differ from the first install's: $work/$arch/upgraded.diff"
  create "upgraded"
  ! run $arch msiexec /i "$(winepath -w "${pkg[$arch]}")" /qn /l*v "$(winepath -w "$work/$arch/older.log")" ||
    fail "the older package installed over the newer"
  grep -q "WIX_DOWNGRADE_DETECTED = {" "$work/$arch/older.log" || fail "the older package failed, but not for being older"
  cmp -s "$dir/Kvadra.dll" "$work/$arch/Kvadra.dll" || fail "the older package replaced the newer DLL"
  msi $arch /x "$work/$arch/next.msi"
  nothing_left removed-upgrade "uninstalling the upgrade"
  echo "installer: $arch: $version upgraded to $next, listed once; $version refused over it"
  wineserver -k || true
done
echo "installer: checked"
