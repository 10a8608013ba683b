"""Scenario files for the end-to-end tests.

A scenario file (tests/e2e/*.py) registers its scenarios, usually one table
of cases run by one function, and ends with `scenario.main()`:

    CASES = [Case(name="no_control_file", ...), ...]

    @scenario.table(CASES)
    def launch(m, case):          # m: a fresh Machine, case: one row
        ...
        scenario.expect_run(result, exit_code=1, boxes=[...])

    if __name__ == "__main__":
        scenario.main()

`file.py --list` prints one "name timeout" line per scenario (CMake turns
each into one ctest test per build, e2e.<build>.<file>.<scenario>),
`file.py --run NAME` runs one, `file.py` runs all; the build is the one
SELDUNAX_E2E_BUILD names (default x86_64). Each scenario gets its own
Machine named "<file>.<scenario>"; its logs, box reports and screenshots
stay in the work directory under runs/<build>.<file>.<scenario>/.
"""

import argparse
import os
import sys
import time
import traceback

from e2e import wineenv
from e2e.machine import Machine

TITLE = "VANTORIS Uninstall"

_scenarios = {}


def scenario(name=None, timeout=120):
    """Registers func(machine) as a scenario."""
    def register(func):
        _scenarios[name or func.__name__] = (func, timeout)
        return func
    return register


def table(rows, timeout=120):
    """Registers func(machine, row) once for each row; a row names itself
    with its attribute or key "name"."""
    def register(func):
        for row in rows:
            name = row["name"] if isinstance(row, dict) else row.name
            if name in _scenarios:
                raise ValueError(f"two scenarios named {name}")
            _scenarios[name] = (lambda m, r=row: func(m, r), timeout)
        return func
    return register


# ------------------------------------------------------------ expectations

def _first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def box_problems(box, text, buttons, where="box", title=TITLE):
    """What differs between box and the expected text and buttons ("OK" or
    "YES NO"); every box of the program has its title (the built-in one
    unless the control file gives one) and no icon."""
    problems = []
    if box.title != title:
        problems.append(f"{where}: title {box.title!r}, expected {title!r}")
    if box.buttons != tuple(buttons.split()):
        problems.append(f"{where}: buttons {' '.join(box.buttons)!r},"
                        f" expected {buttons!r}")
    if box.icon:
        problems.append(f"{where}: shows an icon")
    if text is not None and box.text != text:
        at = _first_difference(box.text, text)
        problems.append(f"{where}: text differs at character {at}\n"
                        f"    shown:    {box.text!r}\n"
                        f"    expected: {text!r}")
    return problems


def expect_run(result, exit_code, boxes, title=TITLE):
    """Checks a RunResult: its exit code and its boxes, given as a list of
    (text, buttons) in the order they showed (text None skips the text),
    each with title."""
    problems = []
    if result.killed:
        problems.append("the program did not end and was killed")
    elif result.exit_code != exit_code:
        problems.append(f"exit code {result.exit_code}, expected {exit_code}")
    for i, (text, buttons) in enumerate(boxes):
        if i >= len(result.boxes):
            problems.append(f"box {i + 1} ({text!r}) never showed")
        else:
            box = result.boxes[i]
            problems += box_problems(box, text, buttons, f"box {i + 1}",
                                     title)
            if box.answer != "read" and not box.pressed:
                problems.append(f"box {i + 1}: could not press {box.answer}")
    for i, extra in enumerate(result.boxes[len(boxes):], len(boxes) + 1):
        problems.append(f"box {i} not expected: {extra}")
    if problems:
        raise AssertionError("\n".join(problems))


def expect_equal(actual, expected, what):
    if actual != expected:
        raise AssertionError(f"{what}: {actual!r}, expected {expected!r}")


# ----------------------------------------------------------------- running

def _file_stem():
    return os.path.splitext(os.path.basename(sys.argv[0]))[0]


def run_one(name):
    func, _ = _scenarios[name]
    machine_name = f"{wineenv.current_build().name}.{_file_stem()}.{name}"
    start = time.time()
    try:
        with Machine(f"{_file_stem()}.{name}") as m:
            func(m)
            leftover = m.finish()
            if leftover:
                raise AssertionError(f"a process was left running: {leftover}")
    except AssertionError as failure:
        print(f"FAIL {machine_name}\n{failure}")
        print(f"logs: {os.path.join(wineenv.work_dir(), 'runs', machine_name)}")
        return False
    except Exception:
        print(f"ERROR {machine_name}")
        traceback.print_exc()
        return False
    print(f"PASS {machine_name} ({time.time() - start:.1f} s)")
    return True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", action="store_true",
                        help="print each scenario's name and timeout")
    parser.add_argument("--run", metavar="NAME", help="run one scenario")
    args = parser.parse_args()
    if args.list:
        for name, (_, timeout) in _scenarios.items():
            print(name, timeout)
        return 0
    reason = wineenv.why_not_runnable()
    if reason:
        return wineenv.skip_or_fail(reason)
    if args.run:
        if args.run not in _scenarios:
            print(f"no scenario {args.run}", file=sys.stderr)
            return 2
        return 0 if run_one(args.run) else 1
    failed = [name for name in _scenarios if not run_one(name)]
    if failed:
        print("failed: " + " ".join(failed))
    return 1 if failed else 0
