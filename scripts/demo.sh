#!/usr/bin/env bash
# SELDUNAX.EXE at work under Wine, as a user sees it: on a machine with the
# VANTORIS card installed, the program is started from C:\VANTORIS with
# SELDUNAX.INI (docs/example/SELDUNAX.INI), its boxes are answered, the
# machine is restarted, and a before/after report shows what went and what
# stayed.
#
#   scripts/demo.sh                  the i686 build that ships
#   scripts/demo.sh --build x86_64   the x86_64 build (or
#                                    SELDUNAX_DEMO_BUILD=x86_64)
#   scripts/demo.sh --control FILE   a control file of your own, tried
#                                    before it ships
#
# With --control the machine is the card's with what FILE names laid out
# beside it (scripts/demo/layout.py): its files, the device and driver
# keys of its ids, lines with its [dosclean] words in AUTOEXEC.BAT and
# DOSSTART.BAT, its [regdel] keys and values; FILE runs there as
# C:\VANTORIS\SELDUNAX.INI, and the report names it. The verdict also
# names what FILE asked to go and the run left: a device key of a listed
# id, a listed file without a WININIT.INI entry, a listed registry key or
# value, a line still holding a [dosclean] word.
#
# The i686 programs are the release build (build/win32, MinSizeRel,
# stripped, as scripts/release_build.sh makes them), run by the 64-bit Wine
# in its wow64 mode; on a machine that cannot run 32-bit code at all the
# demo runs the x86_64 build instead and its report says so (unless the
# i686 build was asked for by name: then it stops). The report names the
# build. With a usable X display ($DISPLAY) the boxes show there for you to
# answer; without one they show on a virtual display (Xvfb) and are
# answered Yes and OK by the test tool boxhelper.exe. Installs what is
# missing (as root), builds the programs, the test tools and the native
# checker in the build directories scripts/test.sh uses, and writes the
# report and the pictures of the boxes to build/demo/. What the run is
# asked to do comes from the checker's plan of the control file
# (seldchk --plan=tsv). Exits non-zero when the run changed anything it was
# not asked to, left anything it was asked to remove, or a box could not be
# pictured whole (its window too small
# for its text and buttons). A box of the i686 build laid out without room
# for its text, as Wine 8.0's experimental wow64 mode lays out every box of
# a 32-bit program (it measures and draws no text for them), is drawn again
# by the 64-bit show_box.exe with the text boxhelper.exe read from it, and
# pictured so; the report says so.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$repo/build"
jobs=${JOBS:-2}

step() { printf '\n=== %s\n' "$*"; }

# The x86_64 programs: the program and its release tool (run when the
# x86_64 build is shown), and the test tools that answer boxes, hold files
# open, observe the handed-over process's exit code and draw a box again
# (always).
build_x86_64() {
  local dir="$build/win64"
  mkdir -p "$dir"
  cmake -S "$repo" -B "$dir" -Wno-dev -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-x86_64.cmake" \
    >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log"
    return 1
  }
  cmake --build "$dir" -j "$jobs" --target SELDUNAX DEVEJECT boxhelper \
    hold_open exit_watch show_box platform_probe
}

# The native checker, whose plan of the control file tells the demo what
# the run is asked to change; in build/native, configured as
# scripts/test.sh does when it is missing.
build_checker() {
  local dir="$build/native"
  if [[ ! -f "$dir/CMakeCache.txt" ]]; then
    mkdir -p "$dir"
    cmake -S "$repo" -B "$dir" -Wno-dev -DCMAKE_BUILD_TYPE=Debug \
      -DSELDUNAX_WIN64_DIR="$build/win64" -DSELDUNAX_WIN32_DIR="$build/win32" \
      >"$dir.configure.log" 2>&1 || {
      cat "$dir.configure.log"
      return 1
    }
  fi
  cmake --build "$dir" -j "$jobs" --target seldchk
}

# The i686 release programs, as scripts/release_build.sh makes them, and
# the probe that tells the harness which system directory an i686 program
# sees (without it no machine can be laid out).
build_i686() {
  source "$(dirname "${BASH_SOURCE[0]}")/release_build.sh"
  release_programs
  cmake --build "$RELEASE_DIR" -j "$jobs" --target platform_probe \
    >"$RELEASE_DIR.probe-build.log" 2>&1 || {
    cat "$RELEASE_DIR.probe-build.log" >&2
    return 1
  }
}

usage() {
  echo "usage: scripts/demo.sh [--build i686|x86_64] [--control FILE]" >&2
  return 2
}

main() {
  local start=$SECONDS
  while [[ $# -gt 0 ]]; do
    case "$1" in
      --build)
        [[ $# -ge 2 ]] || usage || return
        export SELDUNAX_DEMO_BUILD=$2
        shift 2
        ;;
      --control)
        [[ $# -ge 2 && -f "$2" ]] || {
          [[ $# -ge 2 ]] && echo "scripts/demo.sh: no file $2" >&2
          usage
          return
        }
        SELDUNAX_DEMO_CONTROL=$(realpath "$2")
        export SELDUNAX_DEMO_CONTROL
        shift 2
        ;;
      *)
        usage
        return
        ;;
    esac
  done
  step "dependencies"
  bash "$repo/scripts/install_deps.sh"
  step "Windows builds: i686 release programs, x86_64 programs and tools"
  build_i686
  build_x86_64
  step "the native checker seldchk"
  build_checker
  local built=$SECONDS
  step "the demonstration"
  local code=0
  SELDUNAX_WIN64_DIR="$build/win64" SELDUNAX_WIN32_DIR="$build/win32" \
    SELDUNAX_SELDCHK="$build/native/seldchk/seldchk" \
    PYTHONPATH="$repo/scripts:$repo/tests/e2e/harness" python3 -m demo.demo || code=$?
  step "demo finished in $((SECONDS - start)) s ($((built - start)) s" \
    "dependencies and build, $((SECONDS - built)) s the demonstration)"
  return $code
}

main "$@"
