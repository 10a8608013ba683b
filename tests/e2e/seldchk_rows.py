#!/usr/bin/env python3
"""The control-file checker, run on the data files of tests/data/seldchk,
gives the exit code and the lines of their .expected files (which the unit
tests hold the checker's core to on the in-memory machine):

    seldchk_rows.py DATA_DIR                   SELDCHK.EXE of the build
                                               under test, under Wine: the
                                               system's own INI reader does
                                               the program's reading there
    seldchk_rows.py DATA_DIR --native PROGRAM  the native seldchk, on its
                                               host machine
"""

import os
import shutil
import subprocess
import sys

# (expectation, control file). Under Windows, neither the plan's, which
# looks at the machine there, nor the one without a current directory,
# which Windows always has; the others name the current, Windows and system
# directories where they matter, and Wine reads as the NT family does.
ROWS = (("one_of_each", "one_of_each"), ("limits", "limits"), ("gap", "gap"),
        ("clean", "clean"), ("relative_cwd", "relative"),
        ("plan_table", "plan_table"))
NATIVE_ROWS = ROWS + (("clean_plan", "clean"), ("relative", "relative"))


def read_expectation(path):
    with open(path, encoding="latin-1", newline="") as f:
        args_line, exit_line, output = f.read().split("\n", 2)
    args = args_line[len("args:"):].split()
    return args, int(exit_line[len("exit:"):]), output


def failed_rows(data, rows, run):
    """Runs each row through run(args, control file name) -> (exit code,
    output) and prints how it went; returns the number that failed."""
    failed = 0
    for stem, ini in rows:
        args, code, expected = read_expectation(
            os.path.join(data, stem + ".expected"))
        returncode, output = run(args, ini + ".ini")
        if output != expected or returncode != code:
            failed += 1
            print(f"FAIL {stem}: exit {returncode} (expected {code})")
            print("--- expected\n" + expected + "--- got\n" + output)
        else:
            print(f"ok   {stem}: exit {code}, {output.count(chr(10))} lines")
    return failed


def run_native(data, program):
    def run(args, ini):
        done = subprocess.run([program] + args + [ini], cwd=data,
                              capture_output=True, timeout=60)
        return done.returncode, done.stdout.decode("latin-1")
    return 1 if failed_rows(data, NATIVE_ROWS, run) else 0


def run_under_wine(data):
    from e2e import wineenv
    reason = wineenv.why_not_runnable()
    if reason:
        return wineenv.skip_or_fail(reason)
    program = wineenv.build_program("SELDCHK.EXE")
    run_dir = os.path.join(wineenv.work_dir(), "runs",
                           f"{wineenv.current_build().name}.seldchk_rows")
    shutil.rmtree(run_dir, ignore_errors=True)
    prefix = wineenv.copy_template(os.path.join(run_dir, "prefix"))
    env = wineenv.wine_env(prefix)
    # The temporary directory of the native checker's PC, where the program
    # runs after the hand-over: the rows name what relative values name
    # there. Wine takes TEMP and TMP from the user's registry.
    reg = os.path.join(run_dir, "temp.reg")
    with open(reg, "w", newline="\r\n") as f:
        f.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Environment]\n"
                '"TEMP"="C:\\\\WINDOWS\\\\TEMP"\n'
                '"TMP"="C:\\\\WINDOWS\\\\TEMP"\n')
    wineenv.run_quiet(["wine", "regedit", "/s", wineenv.to_windows_path(reg)],
                      env, 120)
    # The control files lie in C:\SELDCHK, the current directory of the runs.
    where = os.path.join(prefix, "drive_c", "SELDCHK")
    os.makedirs(where)

    def run(args, ini):
        shutil.copy(os.path.join(data, ini), where)
        done = subprocess.run(["wine", program] + args + [ini], env=env,
                              cwd=where, capture_output=True, timeout=120)
        output = done.stdout.decode("latin-1").replace("\r\n", "\n")
        return done.returncode, output

    failed = failed_rows(data, ROWS, run)
    wineenv.run_quiet(["wineserver", "-k"], env, 60)
    if not failed:
        shutil.rmtree(run_dir, ignore_errors=True)
    return 1 if failed else 0


def main(argv):
    if len(argv) == 3 and argv[1] == "--native":
        return run_native(argv[0], argv[2])
    return run_under_wine(argv[0])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
