# The i686 MinSizeRel build that ships (SELDUNAX.EXE and DEVEJECT.EXE, and
# the control-file checker SELDCHK.EXE that goes with them), as the release
# checks (check_sizes.sh, check_imports.sh) find it. Sourced, not run.
#
#   release_programs [DIR]
#
# With DIR, takes the programs from that build as they are (ctest passes
# the build that scripts/test.sh made). Without, uses build/win32 of the
# repository, configuring it as scripts/test.sh does when it is missing,
# and brings the programs up to date. Sets RELEASE_DIR, SELDUNAX_EXE,
# DEVEJECT_EXE and SELDCHK_EXE; returns non-zero when the build is not an
# i686 MinSizeRel one or a program is missing.

release_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

release_find() {  # dir, file name: the built file of that name, any case
  find "$1" -path '*/CMakeFiles' -prune -o -type f -iname "$2" -print |
    head -n 1
}

release_programs() {
  local dir=${1:-}
  if [[ -z "$dir" ]]; then
    dir="$release_repo/build/win32"
    if [[ ! -f "$dir/CMakeCache.txt" ]]; then
      mkdir -p "$dir"
      cmake -S "$release_repo" -B "$dir" -Wno-dev \
        -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$release_repo/cmake/mingw-i686.cmake" \
        >"$dir.configure.log" 2>&1 || {
        cat "$dir.configure.log" >&2
        return 1
      }
    fi
    cmake --build "$dir" -j "${JOBS:-2}" --target SELDUNAX DEVEJECT SELDCHK \
      >"$dir.release-build.log" 2>&1 || {
      cat "$dir.release-build.log" >&2
      return 1
    }
  fi
  local cache="$dir/CMakeCache.txt"
  if ! grep -q '^CMAKE_BUILD_TYPE:STRING=MinSizeRel$' "$cache" 2>/dev/null ||
    ! grep -q '^CMAKE_TOOLCHAIN_FILE:.*mingw-i686\.cmake$' "$cache"; then
    echo "$dir is not an i686 MinSizeRel build" >&2
    return 1
  fi
  RELEASE_DIR=$dir
  SELDUNAX_EXE=$(release_find "$dir" SELDUNAX.EXE)
  DEVEJECT_EXE=$(release_find "$dir" DEVEJECT.EXE)
  SELDCHK_EXE=$(release_find "$dir" SELDCHK.EXE)
  if [[ -z "$SELDUNAX_EXE" || -z "$DEVEJECT_EXE" || -z "$SELDCHK_EXE" ]]; then
    echo "SELDUNAX.EXE, DEVEJECT.EXE or SELDCHK.EXE is not built in $dir" >&2
    return 1
  fi
}
