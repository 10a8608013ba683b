#!/usr/bin/env bash
# Sizes of the shipping programs, stripped, against their limits: they
# have to fit on the driver disk beside the card's drivers.
#
#   scripts/check_sizes.sh [BUILD_DIR]
#
# BUILD_DIR is an i686 MinSizeRel build (default: build/win32, configured
# and brought up to date first). Exits 1 when a program is over its limit.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/release_build.sh"

declare -A limit=([SELDUNAX.EXE]=28672 [DEVEJECT.EXE]=32768
                  [SELDCHK.EXE]=65536)

stripped_size() {  # program: its size in bytes once stripped of symbols
  local copy
  copy=$(mktemp)
  cp "$1" "$copy"
  i686-w64-mingw32-strip --strip-all "$copy"
  stat -c %s "$copy"
  rm -f "$copy"
}

main() {
  release_programs "${1:-}"
  echo "stripped sizes (i686 MinSizeRel build in $RELEASE_DIR):"
  local failed=0 name path size
  local -A paths=([SELDUNAX.EXE]=$SELDUNAX_EXE [DEVEJECT.EXE]=$DEVEJECT_EXE
                  [SELDCHK.EXE]=$SELDCHK_EXE)
  for name in SELDUNAX.EXE DEVEJECT.EXE SELDCHK.EXE; do
    path=${paths[$name]}
    size=$(stripped_size "$path")
    local verdict=ok
    if ((size > limit[$name])); then
      verdict="OVER by $((size - limit[$name])) bytes"
      failed=1
    fi
    printf '  %-13s %6d bytes of %6d (%3d %%)  %s\n' "$name" "$size" \
      "${limit[$name]}" $((size * 100 / limit[$name])) "$verdict"
  done
  return $failed
}

main "$@"
