#!/bin/sh
# Times the tree removal and the wildcard deletion under Wine beside the
# system's own "rd /s /q" and "del /q": see scripts/bench_fileops.py.
#
#   scripts/bench_fileops.sh [--build DIR] [--pairs N] [--cpu N] [--smoke]
here=$(dirname "$0")
PYTHONPATH="$here/../tests/e2e/harness${PYTHONPATH:+:$PYTHONPATH}" \
  exec python3 "$here/bench_fileops.py" "$@"
