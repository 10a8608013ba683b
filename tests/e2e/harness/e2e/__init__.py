"""The end-to-end harness: Windows programs of a build run under Wine on a
machine of their own, their boxes read and answered.

Found through PYTHONPATH=<repo>/tests/e2e/harness, which CTest and the
scripts set:

    from e2e import scenario
    from e2e.machine import Machine, WINDOWS_DIR

builds: which build's programs run, and whether they can run here;
wineenv: the X server, the template prefix and the Wine environment
(also run as `python3 -m e2e.wineenv setup | teardown | ...`);
machine: one Windows machine and the runs on it; regfile: registry files;
scenario: tables of cases and the checks of a run; card: the machine with
the card installed (the full story's and the demo's); snapshot: a
machine's files and registry, and what changed between two snapshots.
"""
