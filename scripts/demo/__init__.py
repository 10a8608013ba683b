"""The demonstration of SELDUNAX.EXE under Wine (scripts/demo.sh runs
`python3 -m demo.demo` with PYTHONPATH=<repo>/scripts:<repo>/tests/e2e/harness).

demo: lay out, run and restart, judge, report; asked: what the checker's
plan of the control file asks the run to change; picture: pictures of the
program's boxes. The machine (e2e.card) and its snapshots (e2e.snapshot)
are the harness's, shared with the full-story scenario.
"""
