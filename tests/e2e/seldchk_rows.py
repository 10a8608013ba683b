#!/usr/bin/env python3
"""The control-file checker, run on the data files of tests/data/seldchk,
gives the exit code and the lines of their .expected files (which the unit
tests hold the checker's core to on the in-memory machine), and answers
command lines without a file to check as COMMANDS says:

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
import tempfile

# (expectation, control file). Under Windows, neither the plan's, which
# looks at the machine there, nor the one without a current directory,
# which Windows always has; the others name the current, Windows and system
# directories where they matter, and Wine reads as the NT family does.
ROWS = (("one_of_each", "one_of_each"), ("limits", "limits"), ("gap", "gap"),
        ("clean", "clean"), ("relative_cwd", "relative"),
        ("plan_table", "plan_table"))
NATIVE_ROWS = ROWS + (("clean_plan", "clean"), ("relative", "relative"))


# (arguments, exit code, the stream and the start of its first line), in a
# directory that holds the directory ADIR; NAME stands for the program's
# name as it was started.
COMMANDS = (
    (["/?"], 0, "stdout", "usage: NAME [--werror]"),
    (["-h"], 0, "stdout", "usage: NAME [--werror]"),
    (["ADIR"], 3, "stderr", "NAME: cannot read ADIR: is a directory"),
    (["NOSUCH.INI"], 3, "stderr", "NAME: cannot read NOSUCH.INI: not found"),
    (["--quiet", "A.INI"], 3, "stderr", "NAME: unknown option --quiet"),
)


def failed_commands(name, run):
    """Runs each command line through run(args) -> (exit code, stdout,
    stderr) and prints how it went; returns the number that failed."""
    failed = 0
    for args, code, stream, start in COMMANDS:
        returncode, out, err = run(args)
        first = (out if stream == "stdout" else err).split("\n", 1)[0]
        expected = start.replace("NAME", name)
        if returncode != code or not first.startswith(expected):
            failed += 1
            print(f"FAIL {' '.join(args)}: exit {returncode} (expected "
                  f"{code}), {stream} {first!r} (expected {expected!r}...)")
        else:
            print(f"ok   {' '.join(args)}: exit {code}, {first}")
    return failed


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
    program = os.path.abspath(program)
    def run(args, ini):
        done = subprocess.run([program] + args + [ini], cwd=data,
                              capture_output=True, timeout=60)
        return done.returncode, done.stdout.decode("latin-1")

    with tempfile.TemporaryDirectory() as where:
        os.mkdir(os.path.join(where, "ADIR"))

        def command(args):
            done = subprocess.run([program] + args, cwd=where,
                                  capture_output=True, timeout=60)
            return (done.returncode, done.stdout.decode("latin-1"),
                    done.stderr.decode("latin-1"))
        failed = failed_commands(os.path.basename(program), command)
    failed += failed_rows(data, NATIVE_ROWS, run)
    return 1 if failed else 0


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

    def command(args):
        done = subprocess.run(["wine", program] + args, env=env, cwd=where,
                              capture_output=True, timeout=120)
        return (done.returncode,
                done.stdout.decode("latin-1").replace("\r\n", "\n"),
                done.stderr.decode("latin-1").replace("\r\n", "\n"))

    os.makedirs(os.path.join(where, "ADIR"))
    failed = failed_commands("SELDCHK.EXE", command)
    failed += failed_rows(data, ROWS, run)
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
