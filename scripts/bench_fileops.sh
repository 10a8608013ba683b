#!/bin/sh
# Times the tree removal and the wildcard deletion under Wine beside the
# system's own "rd /s /q" and "del /q": see scripts/bench_fileops.py.
#
#   scripts/bench_fileops.sh [--build DIR] [--pairs N] [--cpu N] [--smoke]
exec python3 "$(dirname "$0")/bench_fileops.py" "$@"
