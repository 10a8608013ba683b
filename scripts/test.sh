#!/usr/bin/env bash
# The project's test command: installs what is missing, builds the i686
# Windows programs (the Windows 95 deliverable, MinSizeRel and stripped as
# they ship), the x86_64 ones and the native unit tests, then runs ctest
# once over unit tests and the end-to-end tests, which run under Wine
# against both Windows builds.
#
#   scripts/test.sh            everything
#   JOBS=4 scripts/test.sh     more parallel build and test jobs
#
# Build directories live under build/ in the repository: win64, win32,
# native, sanitize; the 32-bit Wine DLLs in wine-i386. Exits non-zero on any
# failure. The i686 end-to-end tests run wherever this machine runs 32-bit
# code and are skipped elsewhere; the closing line says which, and why.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$repo/build"
jobs=${JOBS:-2}

step() { printf '\n=== %s\n' "$*"; }

configure_and_build() {  # dir, cmake arguments...
  local dir=$1
  shift
  cmake -S "$repo" -B "$dir" -Wno-dev "$@" >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log"
    return 1
  }
  cmake --build "$dir" -j "$jobs"
}

build_win64() {
  step "x86_64 Windows build"
  configure_and_build "$build/win64" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-x86_64.cmake"
}

build_win32() {
  step "i686 Windows build (the one that ships)"
  configure_and_build "$build/win32" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake"
}

build_native() {
  step "native build with unit tests"
  configure_and_build "$build/native" -DCMAKE_BUILD_TYPE=Debug \
    -DSELDUNAX_WIN64_DIR="$build/win64" -DSELDUNAX_WIN32_DIR="$build/win32"
}

run_tests() {
  step "ctest: unit and end-to-end tests"
  ctest --test-dir "$build/native" --output-on-failure -j "$jobs"
}

# The unit tests and the fuzz corpus replays once more under the address
# and undefined-behaviour sanitizers, in a build directory of their own.
run_sanitized() {
  step "native unit tests under ASan and UBSan"
  configure_and_build "$build/sanitize" -DCMAKE_BUILD_TYPE=Debug \
    -DSELDUNAX_SANITIZE=ON
  ctest --test-dir "$build/sanitize" --output-on-failure -j "$jobs"
}

main() {
  local start=$SECONDS
  step "dependencies"
  bash "$repo/scripts/install_deps.sh"
  mkdir -p "$build"
  build_win64
  build_win32
  build_native
  run_tests
  run_sanitized
  step "all passed in $((SECONDS - start)) s"
  note_i686
}

# Skipped tests pass quietly in ctest's summary: say whether the i686 ones
# ran, and if not, why.
note_i686() {
  local verdict count sysdir
  verdict=$(sed -n 2p "$build/wine-i386/status" 2>/dev/null || true)
  count=$(ctest --test-dir "$build/native" -N -L i686 | grep -c ' e2e\.i686\.' || true)
  if [[ "$verdict" == unsupported:* ]]; then
    echo "NOTE: the $count i686 end-to-end tests were skipped: ${verdict#unsupported: }"
  elif [[ "$verdict" == ok ]]; then
    sysdir=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["dirs"][0])' \
      "$build/native/tests/e2e/work/system_dir.i686.json" 2>/dev/null || true)
    echo "NOTE: this machine runs 32-bit code: the $count i686 end-to-end tests ran${sysdir:+ (a 32-bit program sees $sysdir as its system directory here)}"
  fi
}

main "$@"
