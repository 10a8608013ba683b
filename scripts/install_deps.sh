#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root. Installs
# only what is missing and runs apt-get update at most once; safe to run
# again. Only the 64-bit Wine is installed (this machine cannot run 32-bit
# Linux programs); the 32-bit Windows DLLs with which it runs the i686
# programs are unpacked into build/wine-i386 by scripts/wow64/prepare.sh,
# never installed.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(
  cmake g++ make googletest libgtest-dev  # native build and unit tests
  g++-mingw-w64-x86-64 g++-mingw-w64-i686  # Windows builds
  wine64 wine xvfb x11-utils imagemagick   # end-to-end tests under Wine
  python3                                  # the end-to-end harness
  clang libclang-rt-14-dev                 # fuzzing and sanitizers
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "install_deps.sh: missing packages (run as root): ${missing[*]}" >&2
    exit 1
  fi
  echo "install_deps.sh: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The 32-bit Wine DLLs (downloaded once), and whether 32-bit programs run
# on this machine (checked once per boot).
bash "$repo/scripts/wow64/prepare.sh" all "$repo/build/wine-i386"
