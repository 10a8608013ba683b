#!/usr/bin/env bash
# The 32-bit Windows DLLs of the installed Wine, with which the 64-bit Wine
# runs the i686 programs (the build that ships) in its wow64 mode, with no
# 32-bit Linux code at all. Run by install_deps.sh; safe to run again.
#
#   scripts/wow64/prepare.sh [fetch|check|all] [CACHE_DIR]
#
# fetch (as root, once): downloads Debian's libwine:i386 package of the
# installed Wine's version (about 95 MB) with i386 added to apt's
# architectures for that one download only, unpacks its DLLs into
# CACHE_DIR and drops the package. Nothing is installed, the i386
# architecture is never added to dpkg, and apt's normal package lists are
# restored right after, however the download ends.
#
# check (once per boot of the machine): runs a tiny i686 program under Wine
# with those DLLs; it must exit with 32, the width of its pointers, and name
# a system directory. Which one it names differs between machines: some
# Wines answer C:\windows\syswow64, others C:\windows\system32 and redirect
# that name to syswow64, as 64-bit Windows does for every 32-bit program;
# both are right, and the tests ask the program under test which it sees.
# When the check fails, tells whether this machine can run 32-bit code at
# all (cpu32_check.c): if not, the i686 end-to-end tests are skipped,
# saying why; if it can, something is broken and the check fails.
#
# CACHE_DIR (default build/wine-i386 of the repository) then holds:
#   i386-windows/  the 32-bit DLLs
#   dllpath/       the directory for WINEDLLPATH: links to i386-windows and
#                  to the installed Wine's x86_64-unix (without that one a
#                  32-bit program runs but cannot open a window)
#   version        the Wine version the DLLs belong to
#   status         "key BOOT_ID VERSION CHECK", then "ok", "unsupported: WHY" or
#                  "broken: WHY"
# Exits non-zero, saying why, when the DLLs cannot be had or a 32-bit
# program fails on a machine that can run 32-bit code.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
action=${1:-all}
cache=${2:-$repo/build/wine-i386}

say() { echo "wow64 DLLs: $*"; }
fail() {
  echo "wow64 DLLs: $*" >&2
  exit 1
}

retry() {  # command...: up to three tries, 5 and 10 s apart
  local try
  for try in 1 2 3; do
    "$@" && return 0
    [[ $try -lt 3 ]] && sleep $((try * 5))
  done
  return 1
}

wine_version() {
  dpkg-query -W -f='${Version}' libwine 2>/dev/null ||
    fail "the 64-bit Wine (package libwine) is not installed; run scripts/install_deps.sh as root"
}

system_unix_dir() {  # the installed Wine's x86_64-unix directory
  local files
  files=$(dpkg -L libwine) || fail "cannot list the files of package libwine"
  grep '/wine/x86_64-unix$' <<<"$files" ||
    fail "cannot find the x86_64-unix directory of package libwine"
}

# ------------------------------------------------------------------ fetch

have_dlls() {
  [[ -f "$cache/i386-windows/ntdll.dll" && -f "$cache/i386-windows/user32.dll" &&
    "$(cat "$cache/version" 2>/dev/null)" == "$1" ]]
}

# Downloads libwine:i386=VERSION into DIR. apt's lists gain the i386 ones
# only for this download; they are put back by a plain update afterwards.
download_deb() {  # version, dir
  local version=$1 dir=$2
  (
    # shellcheck disable=SC2317  # run by the trap
    restore() {
      retry apt-get -qq update ||
        echo "wow64 DLLs: could not restore apt's package lists: run apt-get update" >&2
    }
    trap restore EXIT
    cd "$dir"
    retry apt-get -qq -o APT::Architectures=amd64,i386 update ||
      fail "apt-get update with the i386 lists failed (network?)"
    retry apt-get -qq -o APT::Architectures=amd64,i386 \
      -o APT::Sandbox::User=root download "libwine:i386=$version" ||
      fail "cannot download libwine:i386 $version, the version of the installed Wine; if the archive has a newer one, upgrade wine64 and libwine first"
  )
}

fetch() {
  local version unix_dir tmp deb debs
  version=$(wine_version)
  unix_dir=$(system_unix_dir)
  mkdir -p "$cache"
  if ! have_dlls "$version"; then
    [[ $(id -u) -eq 0 ]] ||
      fail "the 32-bit Wine DLLs are not in $cache; run scripts/install_deps.sh as root"
    say "downloading libwine:i386 $version (about 95 MB; unpacked, not installed)"
    tmp="$cache/download"
    rm -rf "$tmp" "$cache/i386-windows" "$cache/version" "$cache/status"
    mkdir -p "$tmp"
    download_deb "$version" "$tmp"
    debs=("$tmp"/libwine_*_i386.deb)
    deb=${debs[0]}
    [[ -f "$deb" ]] || fail "apt-get download left no libwine_*_i386.deb"
    dpkg-deb -x "$deb" "$tmp/root" || fail "cannot unpack $deb"
    mv "$tmp/root/usr/lib/i386-linux-gnu/wine/i386-windows" "$cache/i386-windows" ||
      fail "$deb holds no i386-windows directory"
    rm -rf "$tmp"
    echo "$version" >"$cache/version"
    have_dlls "$version" || fail "the unpacked DLLs lack ntdll.dll or user32.dll"
  fi
  mkdir -p "$cache/dllpath"
  ln -sfn ../i386-windows "$cache/dllpath/i386-windows"
  ln -sfn "$unix_dir" "$cache/dllpath/x86_64-unix"
}

# ------------------------------------------------------------------ check

mingw_gcc() {
  local name
  for name in i686-w64-mingw32-gcc i686-w64-mingw32-gcc-win32 \
    i686-w64-mingw32-gcc-posix; do
    command -v "$name" && return 0
  done
  fail "no i686 MinGW-w64 compiler; run scripts/install_deps.sh as root"
}

# Whether this machine runs 32-bit code at all; "" when it does, else why
# not.
cpu_verdict() {  # work dir
  local work=$1
  gcc -O1 -no-pie "$here/cpu32_check.c" -o "$work/cpu32_check" ||
    fail "cannot build cpu32_check.c"
  if "$work/cpu32_check" >/dev/null 2>&1; then
    return 0
  fi
  echo "this machine cannot run 32-bit code (its kernel or hypervisor offers no 32-bit code segment: cpu32_check died), so Wine cannot start 32-bit programs here"
}

check() {
  local version key work out code why
  version=$(wine_version)
  have_dlls "$version" || fail "the 32-bit Wine DLLs are not in $cache; run scripts/install_deps.sh as root"
  # A changed check (this script or its programs) checks afresh.
  key="key $(cat /proc/sys/kernel/random/boot_id) $version $(cat "$here"/prepare.sh "$here"/*.c | md5sum | cut -c1-12)"
  if [[ "$(head -n 1 "$cache/status" 2>/dev/null)" == "$key" ]]; then
    report_status
    return
  fi
  say "checking that 32-bit programs run under Wine"
  work="$cache/check"
  rm -rf "$work"
  mkdir -p "$work"
  "$(mingw_gcc)" -Os -s "$here/wow64_check.c" -o "$work/wow64_check.exe" ||
    fail "cannot build wow64_check.c"
  code=0
  out=$(cd "$work" && WINEPREFIX="$work/prefix" WINEDLLPATH="$cache/dllpath" \
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    DISPLAY='' timeout 300 wine wow64_check.exe 2>&1) || code=$?
  WINEPREFIX="$work/prefix" timeout 60 wineserver -k 2>/dev/null || true
  out=$(printf '%s' "$out" | tr -d '\r' | tail -n 1)
  if [[ $code -eq 32 && ("${out,,}" == *'\windows\syswow64' ||
    "${out,,}" == *'\windows\system32') ]]; then
    printf '%s\nok\n' "$key" >"$cache/status"
  elif why=$(cpu_verdict "$work") && [[ -n "$why" ]]; then
    printf '%s\nunsupported: %s\n' "$key" "$why" >"$cache/status"
  else
    printf '%s\nbroken: a 32-bit program under Wine exited with %s and printed "%s" (expected 32 and C:\\windows\\syswow64 or C:\\windows\\system32)\n' \
      "$key" "$code" "$out" >"$cache/status"
  fi
  rm -rf "$work"
  report_status
}

report_status() {
  local verdict
  verdict=$(sed -n 2p "$cache/status")
  case "$verdict" in
  ok) say "32-bit programs run under Wine (DLLs in $cache)" ;;
  unsupported:*) say "NOTE: ${verdict#unsupported: }; the i686 end-to-end tests will be skipped" ;;
  *) fail "${verdict#broken: }" ;;
  esac
}

# ------------------------------------------------------------------- main

exec 9>>"$(mkdir -p "$cache" && echo "$cache/.lock")"
flock 9
case "$action" in
fetch) fetch ;;
check) check ;;
all)
  fetch
  check
  ;;
*) fail "usage: prepare.sh [fetch|check|all] [CACHE_DIR]" ;;
esac
