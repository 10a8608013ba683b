#!/usr/bin/env bash
# Demonstration of SELDUNAX.EXE under Wine: not written yet. Until it is,
# scripts/test.sh runs the end-to-end scenarios, which show the program's
# message boxes on a virtual display.
echo "demo.sh: the demonstration is not written yet; run scripts/test.sh" >&2
exit 1
