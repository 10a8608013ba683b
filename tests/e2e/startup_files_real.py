"""Start-up files as real PCs have them, cleaned by a full uninstall under
Wine: a boot-menu AUTOEXEC.BAT with the card twice in every PATH list, a
multi-configuration CONFIG.SYS whose EMM386 lines carry options (hidden and
system, as Windows setup leaves it), a CR-only DOSSTART.BAT, and the user's
own AUTOEXEC.$$$ and CONFIG.$$$ beside them."""

import os
import sys
from dataclasses import dataclass

HERE = os.path.dirname(os.path.abspath(__file__))
from e2e import scenario
import texts
from e2e.machine import WINDOWS_DIR

DISK = "C:\\DISK"
AUTOEXEC = "C:\\AUTOEXEC.BAT"
CONFIG = "C:\\CONFIG.SYS"
DOSSTART = WINDOWS_DIR + "\\DOSSTART.BAT"
SAVED_EMM386 = "C:\\VANTORIS\\DOS\\EMM386.EXE"
WINDOWS_EMM386 = WINDOWS_DIR + "\\EMM386.EXE"
USERS_FILES = {"C:\\AUTOEXEC.$$$": b"the user's own AUTOEXEC.$$$\r\n",
               "C:\\CONFIG.$$$": b"the user's own CONFIG.$$$\r\n"}
PLAIN_INI = {"pnpids": {"1": "VNT9999"}}

HIDDEN, SYSTEM = 0x2, 0x4
ROM = "C:\\VANTORIS\\HALCYREN.ROM"
ROM_AGAIN = "C:\\VANTORIS\\DOS\\HALCYREN.ROM"

# AUTOEXEC.BAT: a fixture of the repository, LF-only as stored. The card
# first and last in every PATH list, its variable and program, and the
# rows of the PATH table that a boot menu can hold.
AUTOEXEC_FIXTURE = os.path.join(HERE, "..", "data", "startfiles",
                                "autoexec_multimenu_many_paths_lf.bat")
AUTOEXEC_ROWS = [  # (card line, what the cleaning leaves; None: removed)
    ("SET HALCYRENE=C:\\VANTORIS\\DOS", None),
    ("C:\\VANTORIS\\DOS\\HCINIT.EXE /HALCYRENE:ON", None),
    ('IF "%CONFIG%"=="SOUND" PATH C:\\VANTORIS\\HALCYREN.ROM;C:\\DOS',
     'IF "%CONFIG%"=="SOUND" PATH C:\\DOS'),
    ("REM PATH=C:\\SND\\HALCYREN.ROM;C:\\DOS", "REM PATH=C:\\DOS"),
    ("C:\\VANTORIS\\DOS\\HCPATH.EXE C:\\VANTORIS\\DOS\\HALCYREN.ROM /Q", None),
    ("PATH=C:\\HALCYRENE;C:\\DOS", None),
]

# CONFIG.SYS: the rows of the EMM386 table in one boot menu.
CONFIG_BEFORE = [
    "[menu]",
    "menuitem=A, Games",
    "menuitem=TVEMS, Start terminal with a TV drivers + EMM386.EXE driver.",
    "",
    "[A]",
    "DEVICE=C:\\WINDOWS\\HIMEM.SYS",
    "DEVICE=C:\\DOS\\EMM386.EXE RAM",
    "[B]",
    "DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE NOEMS",
    "[C]",
    "DEVICE=C:\\DOS\\EMM386.EXE NOEMS",
    "[D]",
    "DEVICE?=C:\\VANTORIS\\DOS\\EMM386.EXE NOEMS",
    "[E]",
    "devicehigh=c:\\vantoris\\dos\\emm386.exe auto ram frame=d000 x=c800-cfff",
    "[TVEMS]",
    "REM DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE",
    "",
    "[common]",
    "FILES=40",
]
WINDOWS_LINE = "DEVICE=" + WINDOWS_DIR + "\\EMM386.EXE"
CONFIG_AFTER = [
    "[menu]",
    "menuitem=A, Games",
    "menuitem=TVEMS, Start terminal with a TV drivers + EMM386.EXE driver.",
    "[A]",
    "DEVICE=C:\\WINDOWS\\HIMEM.SYS",
    WINDOWS_LINE + " RAM",
    "[B]",
    WINDOWS_LINE + " NOEMS",
    "[C]",
    "DEVICE=C:\\DOS\\EMM386.EXE NOEMS",
    "[D]",
    WINDOWS_LINE + " NOEMS",
    "[E]",
    WINDOWS_LINE + " auto ram frame=d000 x=c800-cfff",
    "[TVEMS]",
    "REM DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE",
    "[common]",
    "FILES=40",
]

# DOSSTART.BAT, CR-only.
DOSSTART_BEFORE = [
    "@ECHO OFF",
    "SET SOUND=C:\\AUDIO",
    "LH C:\\VANTORIS\\DOS\\HCINIT.EXE /HALCYRENE:ON",
    "PATH C:\\SND\\HALCYREN.ROM;C:\\DOS",
    "LH C:\\MOUSE\\mouse.com",
    "LH MSCDEX.EXE /D:MSCD001 /L:E",
]
DOSSTART_AFTER = [
    "@ECHO OFF",
    "SET SOUND=C:\\AUDIO",
    "PATH C:\\DOS",
    "LH C:\\MOUSE\\mouse.com",
    "LH MSCDEX.EXE /D:MSCD001 /L:E",
]


def text(lines, end):
    return "".join(line + end for line in lines).encode("cp1252")


def path_list_start(line):
    """Where the list of a line that sets PATH begins, or None."""
    upper = line.upper()
    rest = upper.lstrip(" \t@")
    for word in ("REM ", "SET "):
        if rest.startswith(word):
            rest = rest[4:].lstrip(" \t")
    if not rest.startswith("PATH") or rest[4:5] not in (" ", "\t", "="):
        return None
    at = len(upper) - len(rest) + 4
    while at < len(line) and line[at] in " \t":
        at += 1
    if at < len(line) and line[at] == "=":
        at += 1
    while at < len(line) and line[at] in " \t":
        at += 1
    return at


def autoexec_lines():
    """The installed AUTOEXEC.BAT and what the cleaning must leave."""
    with open(AUTOEXEC_FIXTURE, "rb") as f:
        original = f.read().decode("cp1252").split("\n")
    if original and original[-1] == "":
        original.pop()
    installed, lists = [], 0
    for line in original:
        at = path_list_start(line)
        if at is not None:
            lists += 1
            line = line[:at] + ROM + ";" + line[at:] + ";" + ROM_AGAIN
        installed.append(line)
    if lists < 8:
        raise AssertionError(f"only {lists} PATH lists in the fixture")
    installed[1:1] = [row for row, _ in AUTOEXEC_ROWS]
    expected = original[:1] + [left for _, left in AUTOEXEC_ROWS if left]
    expected += original[1:]
    return installed, [line for line in expected if line]


def set_attributes(m, path, attributes):
    """Hidden and system as Wine keeps them: in the file's DOS attribute."""
    os.setxattr(m.host(path), "user.DOSATTRIB", b"0x%x" % attributes)


def attributes(m, path):
    try:
        value = os.getxattr(m.host(path), "user.DOSATTRIB")
    except OSError:
        return 0
    return int(value.rstrip(b"\0").decode(), 16) & (HIDDEN | SYSTEM)


def leftover_temporaries(m):
    found = []
    for directory in ("C:", WINDOWS_DIR):
        found += [directory + "\\" + name for name in m.listdir(directory + "\\")
                  if name[-4:-2] == ".$"]
    return [path for path in found if path.upper() not in USERS_FILES]


@dataclass
class Case:
    name: str
    saved_emm386: bool  # the card's saved EMM386.EXE is there to restore
    closing: str        # the closing message


CASES = [
    Case("real_start_files_cleaned_as_the_tables_say", True, texts.REBOOT_NOW),
    # CONFIG.SYS still loads the card's EMM386.EXE: the message says so.
    Case("config_sys_untouched_without_emm386", False,
         texts.closing_not_done(["Not changed: " + CONFIG])),
]


@scenario.table(CASES)
def full_mode(m, case):
    m.install_program(DISK)
    m.write_ini(DISK + "\\SELDUNAX.INI", PLAIN_INI)
    autoexec, autoexec_after = autoexec_lines()
    m.write(AUTOEXEC, text(autoexec, "\n"))
    m.write(CONFIG, text(CONFIG_BEFORE, "\r\n"))
    m.write(DOSSTART, text(DOSSTART_BEFORE, "\r"))
    set_attributes(m, CONFIG, HIDDEN | SYSTEM)
    set_attributes(m, DOSSTART, HIDDEN)
    for path, data in USERS_FILES.items():
        m.write(path, data)
    if case.saved_emm386:
        m.write(SAVED_EMM386, b"MZ saved memory manager\r\n")

    result = m.run(DISK, ["SELDUNAX.INI"], answers=["yes", "ok"])
    scenario.expect_run(result, 0, [(texts.CONFIRM_FULL, "YES NO"),
                                    (case.closing, "OK")])
    m.finish()

    scenario.expect_equal(m.read(AUTOEXEC).decode("cp1252").split("\r\n"),
                          autoexec_after + [""], "AUTOEXEC.BAT")
    scenario.expect_equal(m.read(DOSSTART), text(DOSSTART_AFTER, "\r\n"),
                          "DOSSTART.BAT")
    if case.saved_emm386:
        scenario.expect_equal(m.read(CONFIG), text(CONFIG_AFTER, "\r\n"),
                              "CONFIG.SYS")
    else:
        scenario.expect_equal(m.read(CONFIG), text(CONFIG_BEFORE, "\r\n"),
                              "CONFIG.SYS without an EMM386.EXE to load")
        scenario.expect_equal(m.exists(WINDOWS_EMM386), False,
                              "EMM386.EXE in the Windows directory")
    scenario.expect_equal(attributes(m, CONFIG), HIDDEN | SYSTEM,
                          "CONFIG.SYS attributes")
    scenario.expect_equal(attributes(m, DOSSTART), HIDDEN,
                          "DOSSTART.BAT attributes")
    for path, data in USERS_FILES.items():
        scenario.expect_equal(m.read(path), data, path)
    scenario.expect_equal(leftover_temporaries(m), [], "temporary files")


if __name__ == "__main__":
    sys.exit(scenario.main())
