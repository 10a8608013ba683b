"""The checker held to the program. Each row of ROWS lays out a machine and
a control file; SELDCHK.EXE of the build under test gives its plan there
(--plan=tsv, started where SELDUNAX.EXE will be started, reading as the
system does), then SELDUNAX.EXE runs it for real from that directory,
answered Yes and OK. Among the files, directories, registry keys and
values the row lays out, those the plan says go (what its delete,
delete-matching, delete-tree, delete-key and delete-value lines name) and
those it says change (the targets of its copy lines) must be exactly those
that went and changed. The scenario prints how many rows agree; every row
must.

The rows are the kinds of control file where the checker once said
otherwise than the program did: NT and device spellings of a drive root, a
trailing blank, byte-order marks, UTF-16, NUL bytes in names, a file that
deletes, matches or replaces itself (also its copy in TEMP after the
hand-over), the machine's own system directory and a path that its length
makes too long there, relative values from a driver disk and after the
hand-over, a macro run into a name, a lone quote; and rows for the lists
and macros the checker learnt later: registry keys and values (the plan
names them as the program does, HKLM\\SOFTWARE\\..., which a 32-bit program
finds below Wow6432Node), the shared-folder macros, a copy onto a
directory."""

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
DIRECTORY = None  # in a row's files: a directory, watched by its listing
ROOTS = {"HKLM": "HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE": "HKEY_LOCAL_MACHINE",
         "HKCU": "HKEY_CURRENT_USER", "HKEY_CURRENT_USER": "HKEY_CURRENT_USER"}
REGISTRY_ACTIONS = ("delete-key", "delete-value")


def text(*lines):
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def utf16(*lines, mark=True):
    body = ("\r\n".join(lines) + "\r\n").encode("utf-16-le")
    return (b"\xff\xfe" if mark else b"") + body


class Row:
    """A control file (bytes), the files laid out ({path: bytes or
    DIRECTORY}; %WINSYS% for the program's system directory; D:\\ paths on
    a second drive), the directory the program starts in and the registry
    keys laid out ({key as the program names it: {value name: value}})."""

    def __init__(self, name, control, files, cwd=DISK, keys=None):
        self.name = name
        self.control = control
        self.files = files
        self.cwd = cwd
        self.keys = keys or {}


D_ROOT = {"D:\\KEEP1.TXT": b"1", "D:\\KEEP2.DLL": b"2"}
VNT = {f"C:\\VNT\\{n}.DRV": n.encode() for n in "ABCDEFGH"}
LONG_NAME = "N" * 236  # with C:\windows\system32\ 256 characters
RUN = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"
SHELL_FOLDERS = ("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                 "Explorer\\Shell Folders")
MENU = "C:\\windows\\Start Menu"

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
    # The Run key as a whole is the system's own: passed over, with the
    # other program's value in it.
    Row("registry_keys_and_values",
        text(IDS, "[regdel]", "1=HKLM\\SOFTWARE\\VANTORIS",
             f"2={RUN},VNTMIX", f"3={RUN}",
             "4=HKEY_CURRENT_USER\\Software\\VANTORIS\\Mixer,Volume"),
        {}, keys={"HKLM\\SOFTWARE\\VANTORIS\\Mixer": {"Path": "C:\\VNT"},
                  RUN: {"VNTMIX": "C:\\VNT\\MIX.EXE",
                        "OtherTray": "C:\\OTHER\\TRAY.EXE"},
                  "HKCU\\Software\\VANTORIS\\Mixer": {"Volume": 7,
                                                     "Balance": 0}}),
    # Shell Folders set to the English folders below the Windows
    # directory, as the native checker expands the macros.
    Row("shared_folder_macros",
        text(IDS, "[delete]", "1=%STARTMENU%\\VNT.LNK",
             "[deltree]", "1=%PROGRAMS%\\VANTORIS"),
        {MENU + "\\VNT.LNK": b"l", MENU + "\\OTHER.LNK": b"o",
         MENU + "\\Programs\\VANTORIS\\A.LNK": b"a",
         MENU + "\\Programs\\OTHER.LNK": b"o"},
        keys={SHELL_FOLDERS: {"Start Menu": MENU,
                              "Programs": MENU + "\\Programs"}}),
    Row("copy_onto_a_directory",
        text(IDS, "[copy]", "FROM1=C:\\NEW.TXT", "TO1=C:\\VNTDIR",
             "FROM2=C:\\NEW2.TXT", "TO2=C:\\VNTDIR\\"),
        {"C:\\NEW.TXT": b"n", "C:\\NEW2.TXT": b"n2",
         "C:\\VNTDIR": DIRECTORY, "C:\\VNTDIR\\KEEP.TXT": b"k"}),
]


def host_of(m, path):
    """Where a Windows path of the row lies on the host."""
    if path[:3].upper() == "D:\\":
        return os.path.join(m.prefix, "drive_d", *path[3:].split("\\"))
    return m.host(m.on_disk(path))


def key_of(m, named):
    """A registry key (or KEY,ValueName) as the program names it, named
    where regedit finds what the program under test acts on."""
    root, _, rest = named.partition("\\")
    root = ROOTS[root.upper()]
    software = rest[:9].upper()
    if root == "HKEY_LOCAL_MACHINE" and software in ("SOFTWARE", "SOFTWARE\\"):
        return m.software_key + rest[8:]
    return root + "\\" + rest


def lay_out(m, row):
    m.install_program(row.cwd)
    d_files = {p[3:]: data for p, data in row.files.items()
               if p.upper().startswith("D:\\")}
    if d_files:
        m.add_drive_d(d_files)
    for path, data in row.files.items():
        if path.upper().startswith("D:\\"):
            continue
        if data is DIRECTORY:
            m.mkdir(m.on_disk(path))
        else:
            m.write(m.on_disk(path), data)
    m.write(row.cwd + "\\SELDUNAX.INI", row.control)
    if row.keys:
        m.import_reg({key_of(m, key): values
                      for key, values in row.keys.items()})


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
    """A file's bytes, a directory's names, or None when it is not there."""
    host = host_of(m, path)
    if os.path.isdir(host):
        return sorted(os.listdir(host))
    if not os.path.exists(host):
        return None
    with open(host, "rb") as f:
        return f.read()


def state(m, row):
    """What the row laid out, as it is now: {thing: what it holds, None
    when it is gone}. Things are named as said() names them, in lower case:
    files and directories by their paths on disk, registry keys by their
    paths, values as KEY,ValueName."""
    things = {m.on_disk(p).lower(): read(m, p)
              for p in list(row.files) + [row.cwd + "\\SELDUNAX.INI"]}
    for named, values in row.keys.items():
        key = key_of(m, named)
        exported = {k.lower(): v for k, v in
                    (m.export_reg(key) or {}).items()}
        held = exported.get(key.lower())
        things[key.lower()] = None if held is None else "key"
        held = {name.lower(): v for name, v in (held or {}).items()}
        for name in values:
            things[f"{key},{name}".lower()] = held.get(name.lower())
    return things


def goes(action, target, thing):
    """Whether the plan's line (action, target) says thing goes."""
    if action in ("delete", "delete-value"):
        return thing == target
    if action == "delete-tree":
        return thing.startswith(target + "\\")
    if action == "delete-key":
        return thing == target or thing.startswith((target + "\\",
                                                    target + ","))
    if action == "delete-matching":
        where, pattern = target.rsplit("\\", 1)
        directory, name = thing.rsplit("\\", 1)
        return directory == where and fnmatch.fnmatchcase(name, pattern)
    return False


def said(m, plan, things):
    """(gone, changed): the things the plan says go and change."""
    gone, changed = set(), set()
    for fields in plan:
        if len(fields) < 3:
            continue
        action = fields[1]
        target = (key_of(m, fields[2]) if action in REGISTRY_ACTIONS
                  else m.on_disk(fields[2])).lower()
        gone |= {thing for thing in things if goes(action, target, thing)}
        if action == "copy" and target in things:
            changed.add(target)
    return gone, changed


def went(before, after):
    """(gone, changed): the things that went and changed."""
    gone = {thing for thing in before if after[thing] is None}
    changed = {thing for thing in before
               if after[thing] is not None and after[thing] != before[thing]}
    return gone, changed


@scenario.scenario(timeout=1800)
def plan_and_run_agree(m):
    """Every row: what the plan says goes and changes is what did."""
    problems = []
    agreed = 0
    for row in ROWS:
        with Machine(f"seldchk_agrees.{row.name}") as machine:
            lay_out(machine, row)
            before = state(machine, row)
            plan = plan_of(machine, row)
            machine.finish()
            ran = run(machine, row)
            machine.finish()
            expected = said(machine, plan, before)
            actual = went(before, state(machine, row))
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
