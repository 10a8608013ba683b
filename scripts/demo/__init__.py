"""The demonstration of SELDUNAX.EXE under Wine (scripts/demo.sh runs
`python3 -m demo.demo` with PYTHONPATH=<repo>/scripts:<repo>/tests/e2e/harness).

demo: lay out, run and restart, judge, report; layout: the machine with the
card installed; snapshot: the machine's files and registry before and after;
expected: what the control file and the fixed steps allow to change.
"""
