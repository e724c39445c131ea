#!/usr/bin/env bash
# Installs the Debian packages the cross build and the Wine test runs need,
# but only those that are missing. The 32-bit Wine (wine32:i386) needs the
# i386 architecture, whose package index has failed to download on our
# mirror before: then the architecture is taken away again and everything
# else still installs, so the 64-bit build and tests never wait on it.
# It also needs a kernel that runs 32-bit programs. Where it cannot, wine32
# is not installed (or is taken away again): once installed it would be the
# loader plain `wine` picks, and no Wine program could start at all.
set -euo pipefail

pkgs=(
  g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix
  mingw-w64-tools
  libwine-dev
  wine
  wine64
  fonts-wine
  xvfb
  xauth
  googletest
  cmake
  make
  python3
  zip
  msitools
  wixl
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${pkgs[@]}"; do
  installed "$p" || missing+=("$p")
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

# Whether this kernel starts a 32-bit x86 program: the smallest one (an ELF
# header, one program header, then exit(0) through int 0x80), byte by byte.
runs32() {
  local f
  f=$(mktemp) || return 1
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$f"
  chmod +x "$f"
  local rc=0
  "$f" 2>/dev/null || rc=1
  rm -f "$f"
  return $rc
}

loud() {
  echo "bootstrap: ************************************************************" >&2
  echo "bootstrap: $*" >&2
  echo "bootstrap: the 32-bit DLL is built but its tests cannot run on this machine." >&2
  echo "bootstrap: ************************************************************" >&2
}

want32=0
if [ "$(dpkg --print-architecture)" = amd64 ]; then
  if ! runs32; then
    if installed wine32:i386; then
      $SUDO apt-get remove -y -qq wine32:i386 >/dev/null || true
    fi
    loud "this kernel cannot run 32-bit programs, so wine32 is not installed."
  elif ! installed wine32:i386; then
    want32=1
  fi
fi

if [ ${#missing[@]} -eq 0 ] && [ $want32 -eq 0 ]; then
  exit 0
fi

if [ $want32 -eq 1 ]; then
  added=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    added=1
  fi
  if ! $SUDO apt-get update -qq; then
    # The i386 index failed: go back to the 64-bit packages alone.
    if [ $added -eq 1 ] || ! dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -qx i386; then
      $SUDO dpkg --remove-architecture i386 || true
    fi
    want32=0
    loud "apt-get update failed with the i386 architecture enabled; going on without wine32."
    $SUDO apt-get update -qq
  fi
else
  $SUDO apt-get update -qq
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ $want32 -eq 1 ]; then
  echo "bootstrap: installing wine32:i386"
  if ! $SUDO apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null; then
    loud "wine32:i386 could not be installed."
  elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    $SUDO apt-get remove -y -qq wine32:i386 >/dev/null || true
    loud "wine32:i386 was installed but does not start; it is taken away again."
  fi
fi
exit 0
