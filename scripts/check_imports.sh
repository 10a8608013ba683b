#!/usr/bin/env bash
# Every DLL and function the shipping programs import, held against
# scripts/win95_imports.txt, the functions known to exist on Windows 95: an
# import outside it would keep a program from starting there. A W function
# (GetModuleHandleW, ...) counts as missing even if the list names it:
# Windows 95 has only stubs of them that fail.
#
#   scripts/check_imports.sh [BUILD_DIR]
#
# BUILD_DIR is an i686 MinSizeRel build (default: build/win32, configured
# and brought up to date first). Exits 1 on any import outside the list.
set -euo pipefail

here=$(dirname "${BASH_SOURCE[0]}")
source "$here/release_build.sh"
allowed_list="$here/win95_imports.txt"

# "DLL<TAB>function" for every entry of the list; DLL names in capitals.
allowed_imports() {
  awk '
    { sub(/#.*/, ""); gsub(/[ \t\r]+/, "") }
    /^\[.*\]$/ { dll = toupper(substr($0, 2, length($0) - 2)); next }
    $0 != "" && dll != "" { print dll "\t" $0 }
  ' "$allowed_list"
}

# "DLL<TAB>function" for every import of a program; an import by ordinal
# shows as "#<ordinal>".
program_imports() {
  i686-w64-mingw32-objdump -p "$1" | awk '
    /^[ \t]*DLL Name:/ { dll = toupper($3); next }
    /^[ \t]*$/ { dll = ""; next }
    dll != "" && /^\t[0-9a-f]+\t/ {
      if ($3 != "") print dll "\t" $3; else print dll "\t#" $2
    }
  '
}

report() {  # program name, path: prints its imports; returns 1 on strays
  local name=$1 path=$2 imports strays
  imports=$(program_imports "$path")
  strays=$({ grep -vxFf <(allowed_imports) <<<"$imports" || true
            grep -E $'\t[A-Za-z0-9_]*[a-z0-9]W$' <<<"$imports" || true; } |
          sort -u)
  echo "$name imports ($path):"
  sort <<<"$imports" | awk -F'\t' '
    $1 != dll {
      if (line != "") print line
      dll = $1
      line = sprintf("  %-13s", dll)
    }
    {
      if (length(line) + length($2) > 78) { print line; line = sprintf("%15s", "") }
      line = line " " $2
    }
    END { if (line != "") print line }'
  local dlls functions
  dlls=$(cut -f1 <<<"$imports" | sort -u | wc -l)
  functions=$(wc -l <<<"$imports")
  if [[ -n "$strays" ]]; then
    echo "  $dlls DLLs, $functions functions; NOT in $(basename "$allowed_list"):"
    awk -F'\t' '{ printf "    %-13s %s\n", $1, $2 }' <<<"$strays"
    return 1
  fi
  echo "  $dlls DLLs, $functions functions, all in $(basename "$allowed_list")"
}

main() {
  release_programs "${1:-}"
  local failed=0
  report SELDUNAX.EXE "$SELDUNAX_EXE" || failed=1
  report DEVEJECT.EXE "$DEVEJECT_EXE" || failed=1
  report SELDCHK.EXE "$SELDCHK_EXE" || failed=1
  return $failed
}

main "$@"
