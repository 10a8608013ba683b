"""SELDUNAX.EXE at work on a Windows machine under Wine, as a user sees it.

Runs the i686 build that ships (build/win32, MinSizeRel, stripped) under
Wine's wow64 mode, or the x86_64 build when SELDUNAX_DEMO_BUILD=x86_64;
with no build asked for and a machine that cannot run 32-bit code, the
x86_64 build, saying so. Lays out a machine with the VANTORIS card
installed (the harness's e2e/card.py) and the control file tried
(SELDUNAX_DEMO_CONTROL, else docs/example/SELDUNAX.INI) as its
SELDUNAX.INI, with what the file names and the machine lacks laid out
beside it (layout.py), starts C:\\VANTORIS\\SELDUNAX.EXE with
SELDUNAX.INI from C:\\VANTORIS, answers its boxes (or lets a person
answer them on a usable display) and pictures them, restarts the
machine, and reports what changed against what the checker's plan of the
control file asks for (asked.py) and what it asked to go and stays
(left.py). A copy of the laid-out machine restarted without the run
tells what the restart changes by itself. Run through scripts/demo.sh,
which builds the programs and the native checker; the report goes to
stdout and to build/demo/report.txt.

Exit code 0 when the run removed nothing it was not asked to, left
nothing it was asked to remove, and every step was observed, every box
pictured whole, 1 otherwise."""

import datetime
import difflib
import hashlib
import os
import select
import shutil
import subprocess
import sys
import textwrap
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
OUT = os.environ.get("SELDUNAX_DEMO_OUT", os.path.join(REPO, "build", "demo"))
os.environ.setdefault("SELDUNAX_E2E_WORK", os.path.join(OUT, "work"))
os.environ.setdefault("SELDUNAX_WIN64_DIR", os.path.join(REPO, "build",
                                                         "win64"))
os.environ.setdefault("SELDUNAX_WIN32_DIR", os.path.join(REPO, "build",
                                                         "win32"))
# The native checker, whose plan tells what the run is asked to change.
CHECKER = os.environ.get("SELDUNAX_SELDCHK", os.path.join(
    REPO, "build", "native", "seldchk", "seldchk"))
# The control file tried (scripts/demo.sh --control FILE), laid out as
# C:\VANTORIS\SELDUNAX.INI; the example that ships when none is named.
EXAMPLE = os.path.join(REPO, "docs", "example", "SELDUNAX.INI")
CONTROL_SOURCE = os.path.abspath(os.environ.get("SELDUNAX_DEMO_CONTROL")
                                 or EXAMPLE)

from e2e import wineenv  # noqa: E402


def choose_build():
    """The build the demo runs, set as the harness's build under test
    before anything asks for it, and a note on why when it is not the one
    asked for; None when the build asked for cannot run here."""
    asked = os.environ.get("SELDUNAX_DEMO_BUILD", "")
    if asked not in ("", "i686", "x86_64"):
        raise SystemExit(f"SELDUNAX_DEMO_BUILD={asked!r}: i686 or x86_64")
    build, note = asked or "i686", ""
    if build == "i686":
        kind, why = wineenv.wow64_verdict()
        if kind != "ok":
            if asked:
                print(f"[demo] the i686 build cannot run here: {why}",
                      file=sys.stderr)
                return None
            build = "x86_64"
            note = ("the i686 build that ships cannot run on this machine ("
                    f"{why}); the x86_64 build ran instead")
    os.environ["SELDUNAX_E2E_BUILD"] = build
    return build, note


CHOSEN = choose_build() if __name__ == "__main__" else None

# The machine's module reads the build under test when it loads.
from demo import asked, layout, left, picture  # noqa: E402
from e2e import card, regfile, snapshot  # noqa: E402
from e2e.machine import Machine, WINDOWS_DIR  # noqa: E402

# The registry the report compares: the machine's, and the user's software
# keys, where a control file may name the card's settings.
REGISTRY_ROOTS = ("HKEY_LOCAL_MACHINE", card.USER_SOFTWARE)
WININIT = WINDOWS_DIR + "\\WININIT.INI"
# How long a person may take over the confirmation; boxhelper answers in
# well under a second.
PERSON_SECONDS = 900
AUTO_SECONDS = 120


def log(msg):
    print(f"[demo] {msg}", flush=True)


# ---------------------------------------------------------------- display

def wine_version():
    return subprocess.run(["wine", "--version"], capture_output=True,
                          text=True).stdout.strip()


def usable_display():
    """The display named by $DISPLAY when an X server answers on it."""
    display = os.environ.get("DISPLAY", "")
    if not display or not shutil.which("xdpyinfo"):
        return None
    ok = subprocess.run(["xdpyinfo", "-display", display],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                        timeout=20).returncode == 0
    return display if ok else None


def picture_box(m, run, box, answer, name):
    """Records the program's box with its picture in OUT/name: taken now,
    or, when this Wine laid the i686 program's box out without room for
    its text, drawn again after the run (redraw_boxes). A box that cannot
    be pictured whole is a problem of the run: the demo then fails."""
    shown = Shown(box, answer)
    run.boxes.append(shown)
    if picture.to_redraw(box, CHOSEN[0]):
        shown.redraw_as = name
        log(f"{name}: this Wine laid the box out without room for its text; "
            "it is drawn again after the run")
        return
    shown.picture = note_picture(run, name, *picture.take(
        m.env, box.title, box, os.path.join(OUT, name)))


def note_picture(run, name, path, problems):
    """path, after the problems of picturing name went to the run's."""
    for problem in problems:
        run.problems.append(f"no {name}: {problem}")
        log(f"NO PICTURE {name}: {problem}")
    return path


def redraw_boxes(m, run):
    """Pictures the boxes this Wine could not lay out, drawn again by the
    64-bit show_box.exe with the title, text and buttons boxhelper.exe
    read from the program's own box; the program has ended, so that no box
    of its title shows beside them."""
    for shown in run.boxes:
        if shown.redraw_as:
            log(f"{shown.redraw_as}: the box drawn again by show_box.exe")
            shown.picture = note_picture(
                run, shown.redraw_as, *picture.redraw(
                    m, shown.box, os.path.join(OUT, shown.redraw_as)))


# ----------------------------------------------------- helper processes

def read_line(process, deadline):
    """The next line the process prints, or None at its end or the
    deadline. Reads the pipe unbuffered (select sees only the pipe), keeping
    what follows the line for the next call."""
    pending = process.__dict__.setdefault("_pending", b"")
    while b"\n" not in pending and time.time() < deadline:
        ready, _, _ = select.select([process.stdout], [], [], 0.2)
        if not ready:
            continue
        chunk = os.read(process.stdout.fileno(), 4096)
        if not chunk:
            break
        pending += chunk
    line, found, rest = pending.partition(b"\n")
    process._pending = rest
    return line.decode("cp1252").strip() if found else None


def start_tool(m, program, args):
    tool = wineenv.find_program(program)
    return subprocess.Popen(["wine", tool] + args, env=m.env,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)


def watch_exit(m, image, seconds):
    """exit_watch.exe waiting for the process of image to start and end."""
    return start_tool(m, "exit_watch.exe", [image, "--timeout",
                                            str(seconds)])


def watched_exit_code(watcher, seconds):
    """The exit code exit_watch.exe observed, or None."""
    deadline = time.time() + seconds
    code = None
    while True:
        line = read_line(watcher, deadline)
        if line is None:
            break
        if line.startswith("exit "):
            code = int(line.split()[1])
    watcher.wait(timeout=30)
    return code


# ------------------------------------------------------------- the run

class Shown:
    """A box of the run: as boxhelper.exe read it, how it was answered, its
    picture (a host path, or None), and the picture's name when it is to
    be drawn again (picture_box)."""

    def __init__(self, box, answer):
        self.box = box
        self.answer = answer
        self.picture = None
        self.redraw_as = None


class Run:
    """What was seen of the run: exit codes, boxes, screenshots, who
    answered."""

    def __init__(self):
        self.first_code = None
        self.second_code = None
        self.boxes = []  # Shown
        self.answered_by = ""
        self.held = []
        self.holder_code = None
        self.problems = []  # what was not seen as it should be


def answer_automatically(m, run):
    for answer, shot in (("yes", "confirmation.png"), ("ok", "closing.png")):
        box = m.answer("read", timeout=AUTO_SECONDS)
        if box is None:
            break
        picture_box(m, run, box, {"yes": "Yes", "ok": "OK"}[answer], shot)
        if m.answer(answer, timeout=20) is None:
            raise RuntimeError(f"the box went away before {answer}")


def watch_person(m, run, watcher):
    """Records the boxes while a person answers them; returns when the
    program has ended. The answers themselves are told by what the run
    changed (see main)."""
    box = m.answer("read", timeout=PERSON_SECONDS)
    if box is None:
        return
    picture_box(m, run, box, "by the person", "confirmation.png")
    log("answer the box on your display")
    while watcher.poll() is None:
        later = m.answer("read", timeout=2)
        # A box being drawn or taken down shows no buttons yet or any more.
        if later is not None and later.buttons and later.text != box.text:
            picture_box(m, run, later, "OK by the person", "closing.png")
            return


def run_program(m, display, after_run):
    """Runs the program as a user would and returns the Run; after_run()
    is called once the program has ended, while the files are still held
    and so before Wine starts a new session: a new session carries out
    WININIT.INI as a restart would."""
    run = Run()
    temp_copy = m.temp_dir + "\\seldunax.exe"
    with_person = display is not None
    seconds = PERSON_SECONDS if with_person else AUTO_SECONDS

    # Named where they lie: hold_open.exe is a 64-bit program.
    run.held = [m.on_disk(path) for path in card.HELD_FILES]
    with m.session(seconds=seconds + 300, held=run.held) as session:
        watcher = watch_exit(m, temp_copy, seconds)
        log(f"starting {card.INSTALL}\\SELDUNAX.EXE SELDUNAX.INI in "
            f"{card.INSTALL}")
        first = m.run(card.INSTALL, ["SELDUNAX.INI"], timeout=120)
        run.first_code = None if first.killed else first.exit_code
        if with_person:
            run.answered_by = f"a person, on the display {display}"
            watch_person(m, run, watcher)
        else:
            run.answered_by = (f"boxhelper.exe (no usable display: the boxes "
                               f"showed on Xvfb {m.env['DISPLAY']})")
            log("no usable display: boxhelper.exe reads the boxes and "
                "answers Yes, then OK")
            answer_automatically(m, run)
        run.second_code = watched_exit_code(watcher, seconds + 30)
        if session.holding():
            after_run()
    run.holder_code = session.exit_code
    if m.finish(timeout=60):
        raise RuntimeError("a Wine process was still running after the run")
    return run


# ------------------------------------------------------------- snapshots

def watched(m):
    """Whether a lower-case path lies in the demo's directories: every
    change there is reported; elsewhere Wine keeps its own books."""
    tops = [card.INSTALL, "C:\\GAMES", WINDOWS_DIR + "\\INF", m.temp_dir]
    flat = ["C:", WINDOWS_DIR, m.on_disk(m.system_dir)]

    def inside(path):
        return (any(snapshot.below(path, t) for t in tops)
                or any(snapshot.directly_in(path, d) for d in flat))
    return inside


def take_tree(m):
    return snapshot.drive_c(m, watched(m))


def start_file_texts(m):
    return {path: m.read_text(path) if m.exists(path) else None
            for path in card.START_FILES}


# ---------------------------------------------------------------- report

class Report:
    def __init__(self):
        self.lines = []

    def add(self, text=""):
        self.lines.extend(text.split("\n"))

    def head(self, text):
        self.add("")
        self.add(text)
        self.add("-" * len(text))

    def entries(self, label, entries, note=None):
        self.add(f"{label} ({len(entries)}):")
        for e in entries:
            kind = "\\" if e.kind == "dir" else ""
            extra = f"  <- {note(e)}" if note and note(e) else ""
            self.add(f"    {e.path}{kind}{extra}")
        if not entries:
            self.add("    none")

    def text(self):
        return "\n".join(self.lines) + "\n"


def shown_path(path):
    """A host path relative to the repository when it lies in it."""
    rel = os.path.relpath(path, REPO)
    return path if rel.startswith("..") else rel


def describe_box(report, shown):
    box = shown.box
    report.add(f"  box \"{box.title}\", buttons {'/'.join(box.buttons)}, "
               f"icon {'yes' if box.icon else 'none'}, answered "
               f"{shown.answer}")
    for line in box.text.split("\n"):
        report.add(f"  | {line}")
    if shown.picture:
        report.add(f"  screenshot: {shown_path(shown.picture)}")
    if shown.picture and shown.redraw_as:
        width, height = box.window[2:]
        area = "x".join(str(n) for n in box.text_area)
        report.add(textwrap.fill(
            f"of the box drawn again: this Wine laid the i686 program's box "
            f"out {width}x{height} pixels, its text area {area}: no room for "
            "its text, as Wine 8.0's wow64 mode lays out a 32-bit program's "
            "boxes (it measures and draws no text for them). The picture "
            "shows the same box from MessageBoxA of the 64-bit show_box.exe; "
            "its title, text and buttons are the i686 program's own, read "
            "from its box by boxhelper.exe (above).", width=78,
            initial_indent="    ", subsequent_indent="    "))


def plan_section(report, m, before):
    report.head("What the run is asked to do: the checker's plan of the "
                "control file, before the run")
    report.add(f"{shown_path(CHECKER)} --plan=tsv --windir {WINDOWS_DIR} "
               f"--winsys {m.system_dir} --cwd {m.temp_dir} {card.CONTROL}")
    report.add("(the directories as the program under test sees them, and "
               "the one it runs in once it has handed over)")
    for row in before.plan:
        source = f"  from {row.source}" if row.source else ""
        line = f"  (line {row.line})" if row.line else ""
        report.add(f"  {row.step}  {row.action:16} {row.target}{source}"
                   f"{line}")
    report.add(f"Its findings ({len(before.findings)}), the file named as "
               "it came:")
    name = os.path.basename(CONTROL_SOURCE)
    for finding in before.findings:
        report.add("  " + finding.replace(m.host(card.CONTROL), name, 1))
    if not before.findings:
        report.add("  none")
    report.add("What the plan cannot say, the verdict takes from these "
               "rules:")
    for rule in asked.RULES:
        report.add(f"  * {rule}")


def registry_section(report, diff, allowed):
    report.head("Registry: the program's changes (HKEY_LOCAL_MACHINE and "
                "HKEY_CURRENT_USER\\Software before the run and after it and "
                "the restart, less what the same machine's restart without "
                "the run changed)")
    report.add(f"Keys removed ({len(diff.removed)}):")
    for key in diff.removed:
        mark = "" if key.lower() in allowed.keys else "   <- NOT ASKED FOR"
        report.add(f"  - [{key}]{mark}")
        for name, value in diff.before[key].items():
            shown = regfile.regedit4({"k": {name: value}}).split("\r\n")[3]
            report.add(f"  -     {shown}")
    if not diff.removed:
        report.add("  none")
    report.add(f"Keys added ({len(diff.added)}):")
    report.add("\n".join(f"    {k}" for k in diff.added) or "    none")
    report.add(f"Keys whose values changed ({len(diff.changed)}):")
    for key in diff.changed:
        report.add(f"    [{key}]")
        before, after = diff.values(key)
        names = allowed.values.get(key.lower(), set())
        for name in sorted(set(before) | set(after), key=str.lower):
            if before.get(name) == after.get(name):
                continue
            gone = name not in after
            mark = ("" if gone and name.lower() in names
                    else "   <- NOT ASKED FOR")
            shown = regfile.regedit4(
                {"k": {name: (before if gone else after)[name]}}
            ).split("\r\n")[3]
            report.add(f"    {'-' if gone else '*'}     {shown}{mark}")
    if not diff.changed:
        report.add("    none")


def other_keys_section(report, m, after_keys):
    """The other program's keys and value beside the card's: each stays."""
    after = {k.lower(): v for k, v in after_keys.items()}
    before = card.software_keys(m.software_key)
    report.add("The machine's other registry entries, beside the card's:")
    for path, value in card.OTHER_KEYS.items():
        key = m.software_key + "\\" + path
        had = next(v for k, v in before.items() if k.lower() == key.lower())
        now = after.get(key.lower())
        if value is None:
            kept = now is not None and all(now.get(n) == v
                                           for n, v in had.items())
            name = key
        else:
            kept = now is not None and now.get(value) == had[value]
            name = f"{key},{value}"
        report.add(f"    {name}  <- "
                   f"{'stays, unchanged' if kept else 'CHANGED OR GONE'}")


def left_section(report, j):
    """What the control file asked to go and the run left (left.py)."""
    report.head("Asked for and left: what the plan asked to go that stays")
    report.add(f"Copies whose target does not hold its source "
               f"({len(j.left_copies)}):")
    for path, why in j.left_copies:
        report.add(f"    {path}  <- {why}")
    report.add(f"Files and directories still there without a WININIT.INI "
               f"entry for them ({len(j.left_files)}):")
    for path, why in j.left_files:
        report.add(f"    {path}  <- {why}")
    report.add(f"Registry keys and values still there after the restart "
               f"({len(j.left_keys)}):")
    for key, why in j.left_keys:
        report.add(f"    {key}  <- {why}")
    report.add(f"Lines of AUTOEXEC.BAT and DOSSTART.BAT still holding a word "
               f"of the plan ({len(j.left_lines)}):")
    for path, line, why in j.left_lines:
        report.add(f"    {path}: {line}  <- {why}")
    if not (j.left_files or j.left_keys or j.left_lines or j.left_copies):
        report.add("Nothing: every step the plan names left nothing behind.")


def kept_devices(before_keys, diff):
    """The device keys and MEDIA driver keys that were there before the run
    and still are."""
    gone = {k.lower() for k in diff.removed}
    parents = {card.ISAPNP.lower(), (card.CLASS + "\\MEDIA").lower()}
    return [k for k in sorted(before_keys)
            if k.lower().rpartition("\\")[0] in parents
            and k.lower() not in gone]


def _digest(data):
    return hashlib.sha1(data).hexdigest()


def files_section(report, m, run_diff, churn, allowed, after_tree,
                  wininit_entries):
    report.head("Files (drive C: before and after the run)")
    reason = lambda e: allowed.reasons.get(e.path.lower())  # noqa: E731
    report.entries("Removed", run_diff.removed, reason)
    report.entries("Added", run_diff.added, reason)
    report.entries("Changed", run_diff.changed, reason)
    listed_kept = sorted(p for p in allowed.remove if p in after_tree)
    report.add(f"Asked to go but still there after the run "
               f"({len(listed_kept)}):")
    for path in listed_kept:
        later = ("; entered in WININIT.INI" if path in wininit_entries
                 else "")
        report.add(f"    {after_tree[path].path}  <- {allowed.reasons[path]}"
                   f"{later}")
    if not listed_kept:
        report.add("    none")
    report.add("The machine's other files, beside the card's:")
    for path in sorted(card.OTHER_FILES, key=str.lower):
        entry = after_tree.get(m.on_disk(path).lower())
        state = ("stays, unchanged" if entry and entry.stamp == _digest(
            card.OTHER_FILES[path]) else "CHANGED OR GONE")
        report.add(f"    {m.on_disk(path)}  <- {state}")
    report.add(f"Wine's own bookkeeping outside the demo's directories: "
               f"{len(churn.removed)} removed, {len(churn.added)} added, "
               f"{len(churn.changed)} changed (listed at the end)")


def start_files_section(report, before, after):
    report.head("Start-up files (unified diff)")
    for path in card.START_FILES:
        old = (before[path] or "").rstrip("\r\n").split("\r\n")
        new = (after[path] or "").rstrip("\r\n").split("\r\n")
        diff = list(difflib.unified_diff(old, new, f"{path} before",
                                         f"{path} after", lineterm="", n=9))
        report.add("\n".join(diff) if diff else f"{path}: unchanged")
        report.add("")


def restart_section(report, restart_diff, code, wininit_after, left):
    """left: (entry, where its file lies) of the WININIT.INI entries whose
    file is still there after the restart."""
    report.head("Restart (wineboot -r carries out WININIT.INI)")
    report.add(f"wineboot -r exit code: {code}")
    report.entries("Deleted by the restart", restart_diff.removed)
    report.entries("Added", restart_diff.added)
    report.entries("Changed", restart_diff.changed)
    report.add("WININIT.INI after the restart: "
               + ("still there" if wininit_after else "gone (carried out)"))
    report.add(f"Entered in WININIT.INI but still there after the restart "
               f"({len(left)}):")
    for entry, path in left:
        why = ("" if entry.lower() == path.lower() else
               f"  <- the entry names {entry}, as the 32-bit program sees "
               "it; the restart, a 64-bit program, takes the name as it "
               "stands")
        report.add(f"    {path}{why}")
    if not left:
        report.add("    none")


def changed_lines(report, label, diff, name):
    """label, then one line per removed, added and changed item of diff
    (name(item) gives its path), or "none"."""
    report.add(f"{label}:")
    for what, items in (("removed", diff.removed), ("added", diff.added),
                        ("changed", diff.changed)):
        for item in items:
            report.add(f"    {what:8} {name(item)}")
    if diff.empty():
        report.add("    none")


def restart_alone_section(report, baseline, keys_diff, tree_diff):
    report.head("What the restart does on its own (a copy of the machine as "
                "laid out, its display started as for the run, restarted "
                "without the run)")
    report.add(f"wineboot -r exit code: {baseline.boot_code}; the copy stays "
               f"in {baseline.prefix}")
    changed_lines(report, "registry (" + ", ".join(REGISTRY_ROOTS) + ")",
                  keys_diff,
                  lambda key: key)
    changed_lines(report, "files of drive C", tree_diff, lambda e: e.path)


def churn_section(report, churn_run, churn_restart):
    report.head("Wine's own file changes outside the demo's directories")
    for phase, diff in (("during the run", churn_run),
                        ("during the restart", churn_restart)):
        changed_lines(report, phase, diff, lambda e: e.path)


# ------------------------------------------------------------------ main

def read_plan(m):
    """(rows, findings) of the checker's plan of the machine's control
    file: the plan names what the program under test will, its system
    directory and the temporary directory it runs in once it has handed
    over."""
    return asked.read_plan(CHECKER, m.host(card.CONTROL), WINDOWS_DIR,
                           m.system_dir, m.temp_dir)


SHELL_FOLDERS = ("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                 "CurrentVersion\\Explorer\\Shell Folders")


def shell_folders(m):
    """{value name: folder} of the machine's Shell Folders, as the program
    under test reads them when it expands a folder macro."""
    return next(iter((m.export_reg(SHELL_FOLDERS) or {None: {}}).values()))


class Before:
    """The machine laid out, as it was before the run."""

    def __init__(self, m):
        self.m = m
        self.tree = take_tree(m)
        self.keys = snapshot.registry(m, REGISTRY_ROOTS)
        self.starts = start_file_texts(m)
        self.plan, self.findings = read_plan(m)
        self.laid_out = []  # what the control file added to the machine
        self.folders = {}  # the shared folders: shell_folders()


class After:
    """What the run and the restart left: the run as seen, the machine just
    after the run (files still held) and after the restart."""

    def __init__(self):
        self.run = None
        self.tree = self.starts = self.wininit = None
        self.boot_code = None
        self.tree_restart = self.keys_restart = None


class Baseline:
    """A copy of the machine as laid out, restarted without the run: what
    Wine's restart changes by itself."""

    def __init__(self, copy, boot_code):
        self.prefix = copy.prefix
        self.boot_code = boot_code
        self.tree = take_tree(copy)
        self.keys = snapshot.registry(copy, REGISTRY_ROOTS)


class Judgement:
    """The changes, what the plan allowed, and the problems."""

    def __init__(self):
        self.allowed = None
        self.inside = None
        self.run_diff = self.shown_diff = self.churn_run = None
        self.restart_diff = None
        self.program_keys = None  # the program's registry changes
        self.restart_keys = self.restart_tree = None  # the restart's own
        # What was asked for and left (left.py).
        self.left_files = self.left_keys = self.left_lines = []
        self.left_copies = []
        self.problems = []


def lay_out(display, lap):
    """A fresh Wine prefix with the VANTORIS card installed; returns it as
    it was before the run."""
    log("preparing a Wine prefix (the first time takes a minute or two)")
    m = Machine("demo")
    _machines.append(m)
    if not display:
        # No window manager on Xvfb: Wine draws the boxes' title bars itself,
        # so that the screenshots show them.
        m.import_reg({"HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver":
                      {"Managed": "N"}})
    lap("prefix ready")

    log("laying out the machine: the VANTORIS card installed")
    card.install_card(m)
    with open(CONTROL_SOURCE, "rb") as f:
        m.write(card.CONTROL, f.read())
    rows, _ = read_plan(m)
    folders = shell_folders(m)
    added = layout.complete(m, rows, asked.placing_in(
        m.temp_dir, m.on_disk, WINDOWS_DIR, folders),
        asked.key_lying(m.software_key))
    m.finish()
    before = Before(m)
    before.laid_out, before.folders = added, folders
    lap("machine laid out")
    return before


def restart_alone(m, lap):
    """The Baseline: a copy of m (its Wine processes ended) through the
    run's steps without the program, and restarted."""
    log("restarting a copy of the machine without the run (what the restart "
        "does by itself)")
    copy = Machine(m.name + ".restart-alone", copy_of=m)
    _machines.append(copy)
    # The run's session starts Wine's display for the boxes and
    # boxhelper.exe, which rewrites the display's registry keys; here
    # boxhelper.exe alone starts it.
    copy.expect_no_box(2)
    code = wineenv.run_quiet(["wineboot", "-r"], copy.env, 300,
                             logfile=copy.log)
    copy.finish(timeout=120)
    baseline = Baseline(copy, code)
    copy.kill()
    lap("restart alone")
    return baseline


def run_and_restart(m, display, lap):
    """Runs the program as a user would, takes the machine as the run left
    it, then restarts the machine."""
    after = After()

    def after_run():
        after.tree = take_tree(m)
        after.starts = start_file_texts(m)
        after.wininit = m.read_text(WININIT) if m.exists(WININIT) else None

    after.run = run_program(m, display, after_run)
    lap("program run")
    if after.tree is None:
        raise RuntimeError("the held files were let go before the run ended")

    log("restarting the machine (wineboot -r)")
    after.boot_code = wineenv.run_quiet(["wineboot", "-r"], m.env, 300,
                                        logfile=m.log)
    m.finish(timeout=120)
    after.tree_restart = take_tree(m)
    after.keys_restart = snapshot.registry(m, REGISTRY_ROOTS)
    lap("restart")
    return after


def judge(before, baseline, after):
    """What changed against what the checker's plan of the control file
    asks for (see asked.py); every change outside that, and every step not
    observed, is a problem. The program's registry changes are the machine
    after the run and the restart against the baseline (restarted
    alone)."""
    m, run = before.m, after.run
    j = Judgement()
    lying = asked.lying_in(m.temp_dir, m.on_disk, WINDOWS_DIR, before.folders)
    j.allowed = asked.allowed_changes(
        before.plan, before.tree, before.keys, lying, card.ISAPNP, card.CLASS,
        asked.key_lying(m.software_key))
    asked.allow_outside_plan(j.allowed, before.tree, WINDOWS_DIR.lower(),
                             m.temp_dir.lower())
    j.inside = inside = watched(m)
    j.run_diff = run_diff = snapshot.TreeDiff(before.tree, after.tree)
    # Removals are the program's wherever they are (Wine removes nothing of
    # drive C: during a run): they are shown and judged as such, so that a
    # control file's entries outside the demo's directories are reported
    # where the plan's are, not as Wine's own changes.
    j.shown_diff = shown_diff = run_diff.only(inside)
    shown_diff.removed = run_diff.removed
    j.churn_run = run_diff.only(lambda p: not inside(p))
    j.churn_run.removed = []
    j.restart_diff = snapshot.TreeDiff(after.tree, after.tree_restart)
    j.restart_keys = snapshot.RegistryDiff(before.keys, baseline.keys)
    j.program_keys = snapshot.RegistryDiff(
        before.keys, after.keys_restart).without(j.restart_keys)
    j.restart_tree = snapshot.TreeDiff(before.tree, baseline.tree)
    # Additions and changes count only in the demo's directories, where
    # Wine itself writes nothing.
    problems = [f"{what}: {path}" for what, path in
                asked.unasked(shown_diff, j.program_keys, j.allowed)]
    problems += run.problems
    if run.first_code != 0:
        problems.append(f"the first process ended with {run.first_code}")
    if run.second_code is None:
        problems.append("the second process's exit code was not observed")
    if run.holder_code != 0:
        problems.append("the held files were not held for the whole run "
                        f"(hold_open.exe exit code {run.holder_code})")
    j.left_files = left.files_left(
        j.allowed, after.tree,
        [m.on_disk(e).lower() for e in wininit_entries(after.wininit)])
    j.left_keys = left.keys_left(j.allowed, after.keys_restart)
    j.left_lines = left.lines_left(before.plan, {
        p: after.starts[p] for p in card.START_FILES_CLEANED})
    j.left_copies = left.copies_left(before.plan, lying, before.tree,
                                     after.tree)
    # A person who did not answer Yes was not asked to remove anything.
    declined = (run.answered_by.startswith("a person")
                and not (j.program_keys.removed or run_diff.removed))
    if not declined:
        problems += left.problems(j.left_files, j.left_keys, j.left_lines,
                                  j.left_copies)
    j.problems = problems
    return j


def wininit_entries(wininit):
    """The files a WININIT.INI text enters for deletion, as named there."""
    return [line[4:].strip() for line in (wininit or "").split("\r\n")
            if line.upper().startswith("NUL=")]


def tell_person_answers(run, judgement):
    """On a usable display a person answered: only Yes goes on to the
    removal, any other answer changes nothing."""
    yes = bool(judgement.program_keys.removed or judgement.run_diff.removed)
    run.boxes[0].answer = ("Yes by the person" if yes else
                           "not Yes by the person: nothing was removed")


def write_report(before, baseline, after, j, start, times):
    """The report: the build, the run, what changed and the verdict."""
    m, run = before.m, after.run
    report = Report()
    report.add("SELDUNAX.EXE demonstration under Wine, "
               + datetime.datetime.now().strftime("%Y-%m-%d %H:%M"))
    report.add("=" * 60)
    build, note = CHOSEN
    shown = {"i686": "i686, the build that ships (MinSizeRel, stripped; "
                     "run in Wine's wow64 mode)",
             "x86_64": "x86_64 (the build for testing)"}[build]
    report.add(f"Build:              {shown}")
    report.add(f"Program:            {wineenv.find_program('SELDUNAX.EXE')}")
    report.add(f"Wine:               {wine_version()}")
    if note:
        report.add(f"NOTE:               {note}")
    report.add(f"Wine prefix:        {m.prefix}")
    system_dir, on_disk = m.system_dir, m.on_disk(m.system_dir)
    report.add(f"Windows directory:  {WINDOWS_DIR}   system directory "
               f"(%WINSYS%): {system_dir}, as the program sees it")
    if on_disk.lower() != system_dir.lower():
        report.add(f"                    (its files lie in {on_disk}, where "
                   "Wine redirects it for a 32-bit program; this report "
                   "names them there)")
    report.add(f"Temporary dir:      {m.temp_dir}")
    report.add(f"Control file:       {card.CONTROL} (a copy of "
               f"{shown_path(CONTROL_SOURCE)})")
    report.add(f"Boxes answered by:  {run.answered_by}")
    if before.laid_out:
        report.add("Laid out for the control file, beside the card's machine "
                   "(scripts/demo/layout.py):")
        report.add("\n".join(f"    {line}" for line in before.laid_out))

    report.head("The run")
    report.add(f"1. wine {card.INSTALL}\\SELDUNAX.EXE SELDUNAX.INI, "
               f"current directory {card.INSTALL}")
    report.add(f"   exit code {run.first_code} (wine's own exit status is "
               "the program's exit code): it copied itself to the temporary "
               "directory and handed over")
    report.add(f"2. {m.temp_dir}\\seldunax.exe SELDUNAX.INI, started by the "
               "first process")
    report.add(f"   exit code {run.second_code} (observed by exit_watch.exe, "
               "which found the process by its image path while it showed "
               "its box, waited for its end and read GetExitCodeProcess)")
    for shown in run.boxes:
        describe_box(report, shown)
    if not run.boxes:
        report.add("  no box showed")
    report.add("Held open without sharing during the run (hold_open.exe), "
               "as a loaded driver would be:")
    report.add("\n".join(f"    {p}" for p in run.held))

    plan_section(report, m, before)
    registry_section(report, j.program_keys, j.allowed)
    other_keys_section(report, m, after.keys_restart)
    report.add("Devices and driver keys that stay:")
    report.add("\n".join(f"    {k}" for k in
                         kept_devices(before.keys, j.program_keys))
               or "    none")
    wininit = after.wininit
    entries = wininit_entries(wininit)
    files_section(report, m, j.shown_diff, j.churn_run, j.allowed,
                  after.tree, {m.on_disk(e).lower() for e in entries})
    start_files_section(report, before.starts, after.starts)
    report.head("WININIT.INI after the run")
    report.add(wininit.rstrip("\r\n").replace("\r\n", "\n")
               if wininit else "(none)")
    left = [(e, after.tree_restart[m.on_disk(e).lower()].path)
            for e in entries if m.on_disk(e).lower() in after.tree_restart]
    restart_section(report, j.restart_diff.only(j.inside), after.boot_code,
                    m.exists(WININIT), left)
    restart_alone_section(report, baseline, j.restart_keys, j.restart_tree)

    left_section(report, j)
    report.head("Verdict")
    if j.problems:
        report.add("PROBLEMS:")
        report.add("\n".join(f"    {p}" for p in j.problems))
    else:
        report.add("Nothing was removed, added or changed that the checker's "
                   "plan of the control file, with the rules under it, did "
                   "not ask for, and nothing it asked to go stayed.")
    report.add(f"The checker's findings on the control file: "
               f"{len(before.findings)} (under its plan above).")
    report.add("")
    previous = start
    for what, at in times:
        report.add(f"  {what:18} {at - previous:6.1f} s")
        previous = at
    report.add(f"  {'demo total':18} {time.time() - start:6.1f} s "
               "(without the build)")
    churn_section(report, j.churn_run,
                  j.restart_diff.only(lambda p: not j.inside(p)))
    return report.text()


def main():
    os.makedirs(OUT, exist_ok=True)
    for old in ("confirmation.png", "closing.png", "report.txt"):
        if os.path.exists(os.path.join(OUT, old)):
            os.remove(os.path.join(OUT, old))
    start = time.time()
    times = []

    def lap(what):
        times.append((what, time.time()))

    build, note = CHOSEN
    if note:
        log("NOTE: " + note)
    log(f"the {build} build: {wineenv.find_program('SELDUNAX.EXE')}")
    display = usable_display()
    if display:
        wineenv.ensure_display = lambda: display
        log(f"showing the boxes on {display}: answer them yourself")

    before = lay_out(display, lap)
    m = before.m
    baseline = restart_alone(m, lap)
    after = run_and_restart(m, display, lap)
    if any(shown.redraw_as for shown in after.run.boxes):
        redraw_boxes(m, after.run)
        lap("boxes drawn again")
    judgement = judge(before, baseline, after)
    if display and after.run.boxes:
        tell_person_answers(after.run, judgement)

    text = write_report(before, baseline, after, judgement, start, times)
    with open(os.path.join(OUT, "report.txt"), "w") as f:
        f.write(text)
    print(text)
    m.kill()
    log(f"report: {shown_path(os.path.join(OUT, 'report.txt'))}")
    log(f"the machine stays in {m.prefix} (WINEPREFIX) until the next demo")
    return 1 if judgement.problems else 0


# The demo's machine, for ending its Wine processes however main() ends.
_machines = []


def run_demo():
    """main(), then the machine's Wine processes end and the virtual display
    goes (when the demo started one); the machine's prefix stays for a look
    at it."""
    try:
        return main()
    finally:
        for m in _machines:
            m.kill()
        if not usable_display():
            wineenv.stop_display()


if __name__ == "__main__":
    sys.exit(run_demo() if CHOSEN else 2)
