#!/usr/bin/env python3
"""Times the tree removal and the wildcard deletion under Wine against the
system's own "rd /s /q" and "del /q", in pairs on identical trees.

    scripts/bench_fileops.sh [--build DIR] [--pairs N] [--cpu N] [--smoke]

Each comparison runs ours and the system command in turn, at the base
size and twice it in the same rounds (B A A B, B A A B, ...: each pair,
and ours at the two sizes, run back to back), each on a freshly made tree
in memory (/dev/shm, reached through drive Z:, so that no link leads from
the prefix's drive C: to the host), after two warm-up rounds that are not
counted. For every measure it prints the median and the spread (min-max)
of wall and processor time, and the ratio ours/system pair by pair with
its median; it says when the spread of those ratios is too wide to
conclude (max/min over 1.5), and points out absolute figures that spread
as widely. Processor time is the program's own (user and system) plus
what the prefix's wineserver spent meanwhile; it is the figure to trust on
a machine busy with other work, the more so as the whole run is pinned to
one processor (--cpu). Every figure is net of the program's start-up (the
median of empty runs, measured in pairs the same way).

Sizes: the tree removal on 100 directories of 100 files and twice that,
the wildcard list on 5,000 matches (beside 500 files it must keep) and
twice that; the last lines give what twice the work costs.

--smoke runs tiny sizes once in a fresh copy of the end-to-end template
prefix and fails when a program leaves its work undone (ctest runs it).
A hand run uses its own prefix, BENCH_WINEPREFIX (default
/tmp/seldunax-bench-prefix), booted on first use.
"""

import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# The end-to-end harness (tests/e2e/harness/e2e, on PYTHONPATH).
from e2e import wineenv

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

TOO_WIDE = 1.5  # max/min beyond which a set of figures concludes nothing
MIN_PAIRS = 5  # fewer pairs conclude nothing either
DIR_FILES = 100  # files per directory of the tree
# The system's commands are started by their full path: "wine cmd" would
# run start.exe, which starts cmd.exe as a process of its own whose
# processor time is not counted among this script's children.
CMD = "C:\\windows\\system32\\cmd.exe"


# ------------------------------------------------------------ the trees

def make_tree(top, dirs):
    """dirs subdirectories of DIR_FILES files each."""
    for d in range(dirs):
        sub = os.path.join(top, "DIR%04d" % d)
        os.makedirs(sub)
        for f in range(DIR_FILES):
            with open(os.path.join(sub, "FILE%05d.DAT" % f), "w") as out:
                out.write("bench data\r\n")


def make_flat(top, matches):
    """matches .TMP files and a tenth as many .KEP files that the pattern
    must leave alone."""
    os.makedirs(top)
    for f in range(matches):
        with open(os.path.join(top, "F%06d.TMP" % f), "w") as out:
            out.write("bench data\r\n")
    for f in range(matches // 10):
        with open(os.path.join(top, "K%06d.KEP" % f), "w") as out:
            out.write("keep\r\n")


def tree_gone(top):
    return None if not os.path.exists(top) else f"{top} still there"


def flat_kept(top, matches):
    names = os.listdir(top)
    left = sum(n.endswith(".TMP") for n in names)
    kept = sum(n.endswith(".KEP") for n in names)
    if left or kept != matches // 10:
        return f"{top} holds {left} .TMP and {kept} .KEP files"
    return None


# ----------------------------------------------------------------- Wine

class Wine:
    """One prefix with a persistent wineserver, whose processor time is
    read from /proc around every run. With cpus, this script, every Wine
    process it starts and the wineserver run on those processors only."""

    def __init__(self, prefix, env, cwd, cpus=None):
        self.env = dict(env, WINEPREFIX=prefix)
        self.cwd = cwd
        self.server = None
        if cpus:
            os.sched_setaffinity(0, cpus)
        # Persistent, so that every run finds it started (an existing
        # server of the prefix is kept).
        subprocess.run(["wineserver", "-p"], env=self.env,
                       stderr=subprocess.DEVNULL)
        self.run([CMD, "/c", "rem"])  # starts the prefix's services
        self.server = self._server_pid(prefix)
        if self.server is None:
            raise RuntimeError(f"the wineserver of {prefix} was not found")
        if cpus:
            os.sched_setaffinity(self.server, cpus)

    @staticmethod
    def _server_pid(prefix):
        # The server's working directory is .../server-<dev>-<inode> of
        # the prefix.
        st = os.stat(prefix)
        want = "server-%x-%x" % (st.st_dev, st.st_ino)
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                if os.readlink(f"/proc/{pid}/cwd").endswith("/" + want):
                    return int(pid)
            except OSError:
                continue
        return None

    def _server_ms(self):
        if self.server is None:
            return 0.0
        with open(f"/proc/{self.server}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        ticks = int(fields[11]) + int(fields[12])  # utime, stime
        return ticks * 1000.0 / os.sysconf("SC_CLK_TCK")

    def run(self, args):
        """Runs wine with args; returns (wall ms, processor ms)."""
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        server0 = self._server_ms()
        start = time.perf_counter()
        subprocess.run(["wine"] + args, env=self.env, cwd=self.cwd,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wall = (time.perf_counter() - start) * 1000.0
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        server1 = self._server_ms()
        own = (after.ru_utime - before.ru_utime +
               after.ru_stime - before.ru_stime) * 1000.0
        return wall, own + server1 - server0

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env,
                       stderr=subprocess.DEVNULL)


def boot_prefix(prefix, env):
    if not os.path.isdir(os.path.join(prefix, "drive_c", "windows")):
        print(f"booting the Wine prefix {prefix} ...", flush=True)
        env = dict(env, WINEPREFIX=prefix)
        subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env)
    # A new prefix links its shell folders to the host's home: cut them.
    wineenv.cut_outward_links(prefix)


# ---------------------------------------------------------- measuring

class Side:
    """One program on one size of work: how to run it, how to make its
    work afresh and check it afterwards, and its figures net of start-up."""

    def __init__(self, label, args, setup=lambda: None, check=lambda: None,
                 startup=(0.0, 0.0)):
        self.label, self.args = label, args
        self.setup, self.check, self.startup = setup, check, startup
        self.wall, self.cpu = [], []


def run_rounds(wine, sides, rounds, warmup):
    """Runs the sides in turn (A B A B ...), each on fresh work, rounds
    times after warmup rounds that are not counted."""
    for round_no in range(warmup + rounds):
        for side in sides:
            side.setup()
            wall, cpu = wine.run(side.args)
            problem = side.check()
            if problem:
                raise SystemExit(f"FAILED: {side.label}: {problem}")
            if round_no >= warmup:
                side.wall.append(wall - side.startup[0])
                side.cpu.append(cpu - side.startup[1])


def spread(values):
    """max/min; infinite when a figure is not above zero."""
    if any(not v > 0 for v in values):
        return float("inf")
    return max(values) / min(values)


def summary(values):
    return (f"{statistics.median(values):7.0f} [{min(values):.0f}-"
            f"{max(values):.0f}] x{spread(values):.2f}")


def paired(xs, ys):
    """x/y round by round; NaN where a figure is not above zero (work lost
    in the start-up's own spread)."""
    return [x / y if x > 0 and y > 0 else float("nan")
            for x, y in zip(xs, ys)]


def show_ratios(name, r):
    each = " ".join(f"{x:.2f}" for x in r)
    print(f"  {name} {each}  median {statistics.median(r):.2f} "
          f"[{min(r):.2f}-{max(r):.2f}]")


def verdict(ratios, text, sets):
    """The conclusion from ratios taken round by round: text, unless their
    spread is too wide. Both sides of a round meet the same machine, so a
    machine that speeds up or slows down during the run moves the absolute
    figures (sets, by name) but not the ratios; a wide spread there is
    pointed out, not held against the ratios."""
    if len(ratios) < MIN_PAIRS:
        print(f"  => too few pairs to conclude (fewer than {MIN_PAIRS})")
        return
    if spread(ratios) > TOO_WIDE:
        print(f"  => spread too wide to conclude (ratios' max/min "
              f"{spread(ratios):.2f} over {TOO_WIDE})")
        return
    print(f"  => {text}")
    for name, values in sets:
        if spread(values) > TOO_WIDE:
            print(f"     ({name}: max/min {spread(values):.2f} over "
                  f"{TOO_WIDE}: the machine's speed changed during the "
                  "run; compare absolute figures across runs with care)")


def report(title, a, b):
    """One comparison of ours (a) with the system's command (b)."""
    print(title)
    for side in (a, b):
        print(f"  {side.label:10s} wall {summary(side.wall)}   "
              f"cpu {summary(side.cpu)}")
    cpu = paired(a.cpu, b.cpu)
    show_ratios(f"{a.label}/{b.label} cpu ", cpu)
    show_ratios(f"{a.label}/{b.label} wall", paired(a.wall, b.wall))
    show_ratios(f"{a.label}/{b.label} cpu with start-up",
                paired([x + a.startup[1] for x in a.cpu],
                       [y + b.startup[1] for y in b.cpu]))
    verdict(cpu, f"processor time: ours at {statistics.median(cpu):.2f}x "
            f"{b.label}", [(a.label, a.cpu), (b.label, b.cpu)])


def report_growth(one, two):
    """What twice the work costs, round by round (the two sizes ran in the
    same rounds, so they met the same machine)."""
    g = paired(two.cpu, one.cpu)
    show_ratios(f"{one.label} 2x/1x cpu", g)
    verdict(g, f"twice the work costs {statistics.median(g):.2f}x", [])


def load():
    return " ".join(f"{x:.2f}" for x in os.getloadavg())


# ----------------------------------------------------------------- main

def smoke_setup(build):
    """A fresh copy of the end-to-end template prefix, tiny sizes."""
    os.environ.setdefault("SELDUNAX_WIN64_DIR", build)
    exe = wineenv.find_program("bench_fileops.exe")
    run_dir = os.path.join(wineenv.work_dir(), "runs", "bench-smoke")
    prefix = wineenv.copy_template(os.path.join(run_dir, "prefix"))
    return exe, prefix, wineenv.wine_env(prefix), run_dir


def hand_setup(build):
    """The benchmark's own prefix, booted on first use."""
    exe = os.path.join(build, "tests", "e2e", "tools", "bench_fileops.exe")
    if not os.path.isfile(exe):
        raise SystemExit(f"no {exe}: build the x86_64 tree first")
    prefix = os.environ.get("BENCH_WINEPREFIX", "/tmp/seldunax-bench-prefix")
    env = dict(os.environ, WINEDEBUG="-all", LC_ALL="C.UTF-8",
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    boot_prefix(prefix, env)
    return exe, prefix, env, None


def write_control(store, name, section, value):
    with open(os.path.join(store, name), "w", newline="") as f:
        f.write(f"[{section}]\r\n1={value}\r\n")


def benchmark(wine, store, pairs, warmup, tree_dirs, matches):
    """Both comparisons, each at the base size and twice it in the same
    rounds; prints the report."""
    win = wineenv.to_windows_path(store)
    tree, flat = os.path.join(store, "tree"), os.path.join(store, "flat")
    write_control(store, "tree.ini", "deltree", win + "\\tree")
    write_control(store, "mult.ini", "multdel", win + "\\flat\\*.TMP")

    ours0 = Side("ours", ["bench_fileops.exe", "none"])
    cmd0 = Side("cmd", [CMD, "/c", "rem"])
    run_rounds(wine, [ours0, cmd0], pairs, warmup)
    print("start-up (empty runs, subtracted below):")
    for side in (ours0, cmd0):
        print(f"  {side.label:10s} wall {summary(side.wall)}"
              f"   cpu {summary(side.cpu)}")
    ours_start, cmd_start = med(ours0), med(cmd0)

    def tree_sides(dirs):
        def setup():
            shutil.rmtree(tree, ignore_errors=True)
            make_tree(tree, dirs)
        check = lambda: tree_gone(tree)  # noqa: E731
        return (Side("deltree", ["bench_fileops.exe", "deltree",
                                 win + "\\tree.ini"], setup, check,
                     ours_start),
                Side("rd /s /q", [CMD, "/c", "rd", "/s", "/q",
                                  win + "\\tree"], setup, check, cmd_start))

    def flat_sides(n):
        def setup():
            shutil.rmtree(flat, ignore_errors=True)
            make_flat(flat, n)
        check = lambda: flat_kept(flat, n)  # noqa: E731
        return (Side("multdel", ["bench_fileops.exe", "multdel",
                                 win + "\\mult.ini"], setup, check,
                     ours_start),
                Side("del /q", [CMD, "/c", "del", "/q",
                                win + "\\flat\\*.TMP"], setup, check,
                     cmd_start))

    for make_sides, sizes, what in (
            (tree_sides, (tree_dirs, 2 * tree_dirs),
             lambda d: f"tree removal, {d * DIR_FILES} files in {d} "
                       "directories"),
            (flat_sides, (matches, 2 * matches),
             lambda n: f"wildcard list, {n} matches")):
        one, two = make_sides(sizes[0]), make_sides(sizes[1])
        # The system's, ours, ours, the system's: each pair, and ours at
        # both sizes, run back to back.
        run_rounds(wine, [one[1], one[0], two[0], two[1]], pairs, warmup)
        print(f"load average after these rounds: {load()}")
        report(what(sizes[0]), *one)
        report(what(sizes[1]), *two)
        print("twice the work")
        report_growth(one[0], two[0])
        report_growth(one[1], two[1])


def pinned_cpus(choice):
    """The processors to pin to: one, so that each Wine call and the
    wineserver's answer to it meet on the same processor. Calls across
    processors cost more processor time, and how much more depends on what
    else the machine runs: pinned, the figures repeat."""
    if choice == "any":
        return None
    allowed = sorted(os.sched_getaffinity(0))
    return {allowed[-1] if choice == "last" else int(choice)}


def med(side):
    return statistics.median(side.wall), statistics.median(side.cpu)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(REPO, "build",
                                                        "win64"))
    parser.add_argument("--pairs", type=int, default=7)
    parser.add_argument("--smoke", action="store_true")
    parser.add_argument("--cpu", default="last",
                        help="the one processor to run on (a number, "
                        "'last', or 'any' for no pinning)")
    args = parser.parse_args(argv)

    setup = smoke_setup if args.smoke else hand_setup
    exe, prefix, env, run_dir = setup(args.build)
    if args.smoke:
        pairs, warmup, tree_dirs, matches = 1, 0, 2, 20
    else:
        pairs, warmup, tree_dirs, matches = max(args.pairs, 1), 2, 100, 5000
    version = subprocess.run(["wine", "--version"], capture_output=True,
                             text=True).stdout.strip()
    cpus = pinned_cpus(args.cpu)
    print(f"Wine benchmark of the x86_64 build ({exe}), {version}; {pairs} "
          f"pairs per size after {warmup} warm-up pair(s); "
          f"{'on processor ' + str(min(cpus)) if cpus else 'not pinned'}; "
          "ms net of start-up, median [min-max] xmax/min")
    print(f"load average at start: {load()}")
    store = tempfile.mkdtemp(prefix="seldunax-bench.", dir="/dev/shm")
    wine = None
    try:
        shutil.copy(exe, os.path.join(store, "bench_fileops.exe"))
        wine = Wine(prefix, env, store, cpus)
        benchmark(wine, store, pairs, warmup, tree_dirs, matches)
    finally:
        if wine:
            wine.stop()
        shutil.rmtree(store, ignore_errors=True)
        if run_dir:
            shutil.rmtree(run_dir, ignore_errors=True)
    print(f"load average at end: {load()}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
