#!/usr/bin/env python3
"""SELDCHK.EXE of the build under test, run under Wine on the data files of
tests/data/seldchk, gives the exit code and the lines that the native
checker gives (their .expected files, which the unit tests hold the native
checker to). The system's own INI reader does the program's reading there.

    seldchk_rows.py DATA_DIR
"""

import os
import shutil
import subprocess
import sys

from e2e import wineenv

# Every file but the plan's, which looks at the machine under Windows.
ROWS = ("one_of_each", "limits", "gap", "clean")


def read_expectation(path):
    with open(path, encoding="latin-1", newline="") as f:
        args_line, exit_line, output = f.read().split("\n", 2)
    args = args_line[len("args:"):].split()
    return args, int(exit_line[len("exit:"):]), output


def main(argv):
    data = argv[0]
    reason = wineenv.why_not_runnable()
    if reason:
        return wineenv.skip_or_fail(reason)
    program = wineenv.build_program("SELDCHK.EXE")
    run_dir = os.path.join(wineenv.work_dir(), "runs",
                           f"{wineenv.current_build().name}.seldchk_rows")
    shutil.rmtree(run_dir, ignore_errors=True)
    prefix = wineenv.copy_template(os.path.join(run_dir, "prefix"))
    env = wineenv.wine_env(prefix)
    # The control files lie in C:\SELDCHK, the current directory of the runs.
    where = os.path.join(prefix, "drive_c", "SELDCHK")
    os.makedirs(where)
    failed = 0
    for row in ROWS:
        shutil.copy(os.path.join(data, row + ".ini"), where)
        args, code, expected = read_expectation(
            os.path.join(data, row + ".expected"))
        run = subprocess.run(["wine", program] + args + [row + ".ini"],
                             env=env, cwd=where, capture_output=True,
                             timeout=120)
        output = run.stdout.decode("latin-1").replace("\r\n", "\n")
        if output != expected or run.returncode != code:
            failed += 1
            print(f"FAIL {row}: exit {run.returncode} (expected {code})")
            print("--- expected\n" + expected + "--- got\n" + output)
        else:
            print(f"ok   {row}: exit {code}, {output.count(chr(10))} lines")
    wineenv.run_quiet(["wineserver", "-k"], env, 60)
    if not failed:
        shutil.rmtree(run_dir, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
