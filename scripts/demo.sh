#!/usr/bin/env bash
# SELDUNAX.EXE at work under Wine, as a user sees it: on a machine with the
# VANTORIS card installed, the program is started from C:\VANTORIS with
# SELDUNAX.INI (docs/example/SELDUNAX.INI), its boxes are answered, the
# machine is restarted, and a before/after report shows what went and what
# stayed.
#
#   scripts/demo.sh
#
# With a usable X display ($DISPLAY) the boxes show there for you to
# answer; without one they show on a virtual display (Xvfb) and are
# answered Yes and OK by the test tool boxhelper.exe. Installs what is
# missing (as root), builds the x86_64 Windows programs in build/win64 (the
# build directory scripts/test.sh uses), and writes the report and the
# screenshots of the boxes to build/demo/. Exits non-zero when the run
# changed anything the control file did not ask for.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$repo/build"
jobs=${JOBS:-2}

step() { printf '\n=== %s\n' "$*"; }

build_programs() {
  local dir="$build/win64"
  mkdir -p "$dir"
  cmake -S "$repo" -B "$dir" -Wno-dev -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-x86_64.cmake" \
    >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log"
    return 1
  }
  # The program, its release tool, and the test tools that answer boxes,
  # hold files open and observe the handed-over process's exit code.
  cmake --build "$dir" -j "$jobs" --target SELDUNAX DEVEJECT boxhelper \
    hold_open exit_watch
}

main() {
  local start=$SECONDS
  step "dependencies"
  bash "$repo/scripts/install_deps.sh"
  step "x86_64 Windows build of SELDUNAX.EXE and DEVEJECT.EXE"
  build_programs
  local built=$SECONDS
  step "the demonstration"
  local code=0
  SELDUNAX_WIN64_DIR="$build/win64" python3 "$repo/scripts/demo/demo.py" ||
    code=$?
  step "demo finished in $((SECONDS - start)) s ($((built - start)) s" \
    "dependencies and build, $((SECONDS - built)) s the demonstration)"
  return $code
}

main "$@"
