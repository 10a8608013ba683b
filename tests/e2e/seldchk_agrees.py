"""The checker held to the program. Each row of ROWS lays out a machine and
a control file; SELDCHK.EXE of the build under test gives its plan there
(--plan=tsv, started where SELDUNAX.EXE will be started, reading as the
system does), then SELDUNAX.EXE runs it for real from that directory,
answered Yes and OK. Among the files the row lays out, those the plan says
go (the files its delete, delete-matching and delete-tree lines name) and
those it says change (the targets of its copy lines) must be exactly those
that went and changed. The scenario prints how many rows agree; every row
must.

The rows are the kinds of control file where the checker once said
otherwise than the program did: NT and device spellings of a drive root, a
trailing blank, byte-order marks, UTF-16, NUL bytes in names, a file that
deletes, matches or replaces itself (also its copy in TEMP after the
hand-over), the machine's own system directory and a path that its length
makes too long there, relative values from a driver disk and after the
hand-over, a macro run into a name, a lone quote."""

import fnmatch
import getpass
import os
import subprocess
import sys

from e2e import scenario, wineenv
from e2e.machine import Machine

DISK = "C:\\DISK"
INSTALL = "C:\\VANTORIS"
TEMP = f"C:\\users\\{getpass.getuser()}\\Temp"
IDS = "[pnpids]\r\n1=VNT9999\r\n"


def text(*lines):
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def utf16(*lines, mark=True):
    body = ("\r\n".join(lines) + "\r\n").encode("utf-16-le")
    return (b"\xff\xfe" if mark else b"") + body


class Row:
    """A control file (bytes), the files laid out ({path: bytes}; %WINSYS%
    for the program's system directory; D:\\ paths on a second drive) and
    the directory the program starts in."""

    def __init__(self, name, control, files, cwd=DISK):
        self.name = name
        self.control = control
        self.files = files
        self.cwd = cwd


D_ROOT = {"D:\\KEEP1.TXT": b"1", "D:\\KEEP2.DLL": b"2"}
VNT = {f"C:\\VNT\\{n}.DRV": n.encode() for n in "ABCDEFGH"}
LONG_NAME = "N" * 236  # with C:\windows\system32\ 256 characters

ROWS = [
    Row("nt_and_device_roots",
        text("[multdel]", "1=\\??\\D:\\*.*", "2=\\\\?\\D:\\*.*",
             '3="D:\\*.* "', "[deltree]", "1=\\??\\D:", "2=\\\\.\\D:",
             "[delete]", "1=\\??\\C:\\VNT\\A.DRV", "2=C:\\VNT\\B.DRV"),
        dict(D_ROOT, **VNT)),
    Row("utf8_mark", b"\xef\xbb\xbf" + text("[deltree]", "1=C:\\VNTTREE"),
        {"C:\\VNTTREE\\A.TXT": b"a", "C:\\VNTTREE\\SUB\\B.TXT": b"b"}),
    Row("utf16_mark", utf16("[delete]", "1=C:\\VNT\\A.DRV"), VNT),
    Row("utf16_without_mark", utf16("[delete]", "1=C:\\VNT\\A.DRV",
                                    mark=False), VNT),
    Row("nul_in_key", text("[delete]", "1\0old=C:\\VNT\\B.DRV"), VNT),
    Row("nul_in_section", text("[deltree\0x]", "1=C:\\VNTTREE"),
        {"C:\\VNTTREE\\A.TXT": b"a"}),
    Row("deletes_itself",
        text("[delete]", "1=C:\\DISK\\SELDUNAX.INI", "2=C:\\VNT\\C.DRV",
             "[deltree]", "1=C:\\VNTTREE"),
        dict(VNT, **{"C:\\VNTTREE\\A.TXT": b"a"})),
    Row("matches_itself",
        text(IDS, "[multdel]", "1=C:\\DISK\\*.INI", "2=C:\\VNT\\D.DRV"),
        dict(VNT, **{"C:\\DISK\\OTHER.INI": b"[x]"})),
    Row("copies_over_itself",
        text("[copy]", "FROM1=C:\\NEW.INI", "TO1=C:\\DISK\\SELDUNAX.INI",
             "[delete]", "1=C:\\VNT\\E.DRV"),
        dict(VNT, **{"C:\\NEW.INI": text(IDS)})),
    Row("system_directory",
        text("[delete]", "1=%WINSYS%\\VNTSYS.DRV",
             f"2=%WINSYS%\\{LONG_NAME}"),
        {"%WINSYS%\\VNTSYS.DRV": b"s", f"%WINSYS%\\{LONG_NAME}": b"l"}),
    Row("relative_from_a_disk",
        text("[delete]", "1=LOCAL.TXT", "[multdel]", "1=C:*.TXT",
             "[deltree]", "1=SUB", "2=C:OLD"),
        {"C:\\DISK\\LOCAL.TXT": b"l", "C:\\DISK\\ONE.TXT": b"1",
         "C:\\DISK\\SUB\\A.TXT": b"a", "C:\\DISK\\OLD\\B.TXT": b"b",
         "C:\\LOCAL.TXT": b"root", "C:\\SUB\\A.TXT": b"root"}),
    Row("relative_after_the_hand_over",
        text("[delete]", "1=LOCAL.TXT", "[deltree]", "1=SUB"),
        {INSTALL + "\\LOCAL.TXT": b"i", INSTALL + "\\SUB\\A.TXT": b"i",
         TEMP + "\\LOCAL.TXT": b"t", TEMP + "\\SUB\\A.TXT": b"t"},
        cwd=INSTALL),
    Row("deletes_its_copy_in_temp",
        text("[delete]", f"1={TEMP}\\SELDUNAX.INI", "2=C:\\VNT\\F.DRV"),
        VNT, cwd=INSTALL),
    Row("macro_run_into_a_name", text("[delete]", "1=%WINDIR%VNTCAN.TXT"),
        {"C:\\windowsVNTCAN.TXT": b"c", "C:\\windows\\VNTCAN.TXT": b"w"}),
    Row("lone_quote", text("[delete]", "1='C:\\VNT\\G.DRV", "2=C:\\VNT\\H.DRV"),
        VNT),
    Row("plain_lists",
        text("[delete]", "1=C:\\VNT\\A.DRV", "[multdel]", "1=C:\\VNT\\?.DRV",
             "[deltree]", "1=C:\\VNTTREE", "2=C:\\", "3=%WINDIR%"),
        dict(VNT, **{"C:\\VNTTREE\\A.TXT": b"a", "C:\\VNT\\AB.DRV": b"ab"})),
]


def host_of(m, path):
    """Where a Windows path of the row lies on the host."""
    if path[:3].upper() == "D:\\":
        return os.path.join(m.prefix, "drive_d", *path[3:].split("\\"))
    return m.host(m.on_disk(path))


def lay_out(m, row):
    m.install_program(row.cwd)
    d_files = {p[3:]: data for p, data in row.files.items()
               if p.upper().startswith("D:\\")}
    if d_files:
        m.add_drive_d(d_files)
    for path, data in row.files.items():
        if not path.upper().startswith("D:\\"):
            m.write(m.on_disk(path), data)
    m.write(row.cwd + "\\SELDUNAX.INI", row.control)


def plan_of(m, row):
    """The lines of SELDCHK.EXE's --plan=tsv, started in row.cwd."""
    done = subprocess.run(
        ["wine", wineenv.build_program("SELDCHK.EXE"), "--plan=tsv",
         "SELDUNAX.INI"], cwd=m.host(row.cwd), env=m.env,
        capture_output=True, timeout=120)
    lines = done.stdout.decode("cp1252").replace("\r\n", "\n").splitlines()
    return [line.split("\t") for line in lines]


def run(m, row):
    """Runs the program from row.cwd, answering Yes and OK; true when both
    boxes showed, so that the run went to its end."""
    if row.cwd != INSTALL:
        result = m.run(row.cwd, ["SELDUNAX.INI"], answers=["yes", "ok"])
        return len(result.boxes) == 2 and result.exit_code == 0
    # The copy in TEMP asks.
    m.run(row.cwd, ["SELDUNAX.INI"])
    return m.answer("yes") is not None and m.answer("ok") is not None


def read(m, path):
    """The file's bytes, or None when it is not there."""
    host = host_of(m, path)
    if not os.path.exists(host):
        return None
    with open(host, "rb") as f:
        return f.read()


def watched(m, row):
    """The row's files and its control file: {lower-case disk path: (the
    path as laid out, its bytes before the run)}."""
    paths = list(row.files) + [row.cwd + "\\SELDUNAX.INI"]
    return {m.on_disk(p).lower(): (p, read(m, p)) for p in paths}


def said(m, plan, files):
    """(gone, changed): the watched files the plan says go and change."""
    gone, changed = set(), set()
    for fields in plan:
        if len(fields) < 3:
            continue
        action, target = fields[1], m.on_disk(fields[2]).lower()
        for path in files:
            directory, name = path.rsplit("\\", 1)
            if action == "delete" and path == target:
                gone.add(path)
            elif action == "delete-tree" and path.startswith(target + "\\"):
                gone.add(path)
            elif action == "delete-matching":
                where, pattern = target.rsplit("\\", 1)
                if directory == where and fnmatch.fnmatchcase(name, pattern):
                    gone.add(path)
            elif action == "copy" and path == target:
                changed.add(path)
    return gone, changed


def went(m, files):
    """(gone, changed): the watched files that went and changed."""
    gone, changed = set(), set()
    for path, (laid_out, before) in files.items():
        after = read(m, laid_out)
        if after is None:
            gone.add(path)
        elif after != before:
            changed.add(path)
    return gone, changed


@scenario.scenario(timeout=1800)
def plan_and_run_agree(m):
    """Every row: what the plan says goes and changes is what did."""
    problems = []
    agreed = 0
    for row in ROWS:
        with Machine(f"seldchk_agrees.{row.name}") as machine:
            lay_out(machine, row)
            files = watched(machine, row)
            plan = plan_of(machine, row)
            machine.finish()
            ran = run(machine, row)
            machine.finish()
            expected = said(machine, plan, files)
            actual = went(machine, files)
            if not ran:
                print(f"NOT RUN  {row.name}")
                problems.append(f"{row.name}: the program showed not both "
                                "of its boxes")
            elif expected == actual:
                agreed += 1
                print(f"agree    {row.name}")
            else:
                print(f"DISAGREE {row.name}")
                problems.append(
                    f"{row.name}: the plan says gone {sorted(expected[0])}, "
                    f"changed {sorted(expected[1])}; the run: gone "
                    f"{sorted(actual[0])}, changed {sorted(actual[1])}")
    print(f"the plan and the run agree on {agreed} of {len(ROWS)} rows")
    if problems:
        raise AssertionError("\n".join(problems))


if __name__ == "__main__":
    sys.exit(scenario.main())
