"""The DOS start-up files and WININIT.INI as a full uninstall leaves them:
AUTOEXEC.BAT, DOSSTART.BAT and CONFIG.SYS cleaned of the card, EMM386.EXE
back in the Windows directory, and files entered in WININIT.INI really gone
after the next start. Where a step cannot be done (a read-only CONFIG.SYS or
copy target, an empty EMM386.EXE in the Windows directory), what it needs
stays and the closing message says so."""

import os
import select
import subprocess
import sys
from dataclasses import dataclass
from typing import Callable, Optional

from e2e import scenario, wineenv
import texts
from e2e.machine import WINDOWS_DIR

DISK = "C:\\DISK"
INSTALL = "C:\\VANTORIS"
AUTOEXEC = "C:\\AUTOEXEC.BAT"
CONFIG = "C:\\CONFIG.SYS"
DOSSTART = WINDOWS_DIR + "\\DOSSTART.BAT"
WININIT = WINDOWS_DIR + "\\WININIT.INI"
SAVED_EMM386 = INSTALL + "\\DOS\\EMM386.EXE"
WINDOWS_EMM386 = WINDOWS_DIR + "\\EMM386.EXE"

BACKUP = INSTALL + "\\BACKUP\\MIDIMAP.CFG"
COPY_TARGET = WINDOWS_DIR + "\\MIDIMAP.CFG"

# A copy back from the install directory, which the tree list then removes.
PLAIN_INI = {"pnpids": {"1": "VNT9999"},
             "copy": {"FROM1": BACKUP, "TO1": "%WINDIR%\\MIDIMAP.CFG"},
             "deltree": {"1": INSTALL}}

AUTOEXEC_BEFORE = [
    "@ECHO OFF",
    "",
    "SET BLASTER=A220 I5 D1 H5 P330 T6",
    "set halcyrene=C:\\VANTORIS\\DOS",
    "PATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND;C:\\VANTORIS\\HALCYREN.ROM;C:\\UTIL",
    "SET PATH=%PATH%;C:\\VANTORIS\\DOS\\Halcyren.Rom",
    "REM C:\\VANTORIS\\DOS\\HALCYREN.ROM /INIT",
    "LH C:\\MOUSE\\MOUSE.COM",
    "",
]
AUTOEXEC_AFTER = [
    "@ECHO OFF",
    "SET BLASTER=A220 I5 D1 H5 P330 T6",
    "PATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND;C:\\UTIL",
    "SET PATH=%PATH%",
    "LH C:\\MOUSE\\MOUSE.COM",
]

DOSSTART_BEFORE = [
    "@echo off",
    "LH C:\\VANTORIS\\DOS\\HCINIT.EXE /HALCYRENE",
    "",
    "LH MSCDEX.EXE /D:MSCD001 /L:E",
]
DOSSTART_AFTER = ["@echo off", "LH MSCDEX.EXE /D:MSCD001 /L:E"]

CONFIG_BEFORE = [
    "[menu]",
    "menuitem=EMS, Start DOS with EMM386.EXE",
    "menuitem=WIN, Start Windows",
    "",
    "[EMS]",
    "; DEVICE=C:\\DOS\\EMM386.EXE AUTO",
    "DEVICE=C:\\WINDOWS\\HIMEM.SYS",
    "DEVICEHIGH C:\\VANTORIS\\DOS\\EMM386.EXE RAM FRAME=D000",
    "DEVICE=C:\\DOS\\EMM386.EXE NOEMS",
    "",
    "[common]",
    "FILES=40",
]
CONFIG_AFTER = [
    "[menu]",
    "menuitem=EMS, Start DOS with EMM386.EXE",
    "menuitem=WIN, Start Windows",
    "[EMS]",
    "; DEVICE=C:\\DOS\\EMM386.EXE AUTO",
    "DEVICE=C:\\WINDOWS\\HIMEM.SYS",
    "DEVICE=" + WINDOWS_DIR + "\\EMM386.EXE RAM FRAME=D000",
    "DEVICE=C:\\DOS\\EMM386.EXE NOEMS",
    "[common]",
    "FILES=40",
]

SAVED_MANAGER = b"MZ saved memory manager\r\n"
USERS_MANAGER = b"MZ the user's own memory manager\r\n"


def text(lines, end):
    return "".join(line + end for line in lines).encode("cp1252")


def set_up_start_files(m, end, windows_emm386=None):
    m.write(AUTOEXEC, text(AUTOEXEC_BEFORE, end))
    m.write(DOSSTART, text(DOSSTART_BEFORE, end))
    m.write(CONFIG, text(CONFIG_BEFORE, end))
    m.write(SAVED_EMM386, SAVED_MANAGER)
    if windows_emm386 is not None:
        m.write(WINDOWS_EMM386, windows_emm386)


def read_only(m, path):
    """Wine reports a file without write permission as read-only."""
    os.chmod(m.host(path), 0o444)


def leftover_temporaries(m):
    found = []
    for directory in ("C:\\", WINDOWS_DIR):
        found += [directory + "\\" + name for name in m.listdir(directory)
                  if name[-4:-2] == ".$"]
    return found


CONFIG_NOT_CHANGED = texts.closing_not_done(["Not changed: " + CONFIG,
                                            "Kept: " + SAVED_EMM386])


@dataclass
class Case:
    name: str
    end: str             # line end of the files before the run
    windows_emm386: bytes = None  # an EMM386.EXE already in the Windows dir
    damage: Optional[Callable] = None  # what else the machine holds
    config_after: Optional[bytes] = None  # None: cleaned, else these bytes
    closing: Callable = lambda m: texts.REBOOT_NOW
    saved_kept: bool = False  # C:\VANTORIS\DOS\EMM386.EXE stays


def nul_in_config(m):
    m.write(CONFIG, text(CONFIG_BEFORE, "\r\n") + b"REM \0 end\r\n")


def read_only_copy_target(m):
    m.write(BACKUP, b"midimap: original")
    m.write(COPY_TARGET, b"midimap: card")
    read_only(m, COPY_TARGET)


CASES = [
    Case("full_mode_cleans_crlf_start_files", "\r\n"),
    Case("full_mode_cleans_lf_only_start_files", "\n"),
    Case("full_mode_keeps_users_emm386", "\r\n", USERS_MANAGER),
    Case("full_mode_read_only_config_sys_keeps_saved_emm386", "\r\n",
         damage=lambda m: read_only(m, CONFIG),
         config_after=text(CONFIG_BEFORE, "\r\n"),
         closing=lambda m: CONFIG_NOT_CHANGED, saved_kept=True),
    Case("full_mode_empty_emm386_is_not_loaded", "\r\n", b"",
         config_after=text(CONFIG_BEFORE, "\r\n"),
         closing=lambda m: CONFIG_NOT_CHANGED, saved_kept=True),
    Case("full_mode_config_sys_keeps_its_nul_byte", "\r\n",
         damage=nul_in_config,
         config_after=text(CONFIG_AFTER, "\r\n") + b"REM \0 end\r\n"),
    Case("full_mode_read_only_copy_target_keeps_its_source", "\r\n",
         damage=read_only_copy_target,
         closing=lambda m: texts.closing_not_done(["Not copied: " + COPY_TARGET,
                                                   "Kept: " + BACKUP])),
]


@scenario.table(CASES)
def full_mode(m, case):
    m.install_program(DISK)
    m.write_ini(DISK + "\\SELDUNAX.INI", PLAIN_INI)
    set_up_start_files(m, case.end, case.windows_emm386)
    if case.damage:
        case.damage(m)
    result = m.run(DISK, ["SELDUNAX.INI"], answers=["yes", "ok"])
    scenario.expect_run(result, 0, [(texts.CONFIRM_FULL, "YES NO"),
                                    (case.closing(m), "OK")])
    m.finish()
    scenario.expect_equal(m.read(AUTOEXEC), text(AUTOEXEC_AFTER, "\r\n"),
                          "AUTOEXEC.BAT")
    scenario.expect_equal(m.read(DOSSTART), text(DOSSTART_AFTER, "\r\n"),
                          "DOSSTART.BAT")
    scenario.expect_equal(m.read(CONFIG),
                          case.config_after or text(CONFIG_AFTER, "\r\n"),
                          "CONFIG.SYS")
    scenario.expect_equal(m.read(WINDOWS_EMM386),
                          SAVED_MANAGER if case.windows_emm386 is None
                          else case.windows_emm386,
                          "EMM386.EXE in the Windows directory")
    scenario.expect_equal(m.exists(SAVED_EMM386), case.saved_kept,
                          "the saved EMM386.EXE")
    if case.damage is read_only_copy_target:
        scenario.expect_equal(m.read(BACKUP), b"midimap: original",
                              "the copy's source")
        scenario.expect_equal(m.read(COPY_TARGET), b"midimap: card",
                              "the read-only copy target")
    scenario.expect_equal(leftover_temporaries(m), [], "temporary files")


@scenario.scenario()
def post_install_leaves_start_files_alone(m):
    m.install_program(DISK)
    m.write_ini(DISK + "\\SELDUNAX.INI", PLAIN_INI)
    set_up_start_files(m, "\n")
    before = {path: m.read(path) for path in (AUTOEXEC, DOSSTART, CONFIG)}
    result = m.run(DISK, ["/POSTw95", "SELDUNAX.INI"], answers=["yes", "ok"])
    scenario.expect_run(result, 0, [(texts.CONFIRM_POSTINSTALL, "YES NO"),
                                    (texts.REBOOT_NOW, "OK")])
    m.finish()
    for path, data in before.items():
        scenario.expect_equal(m.read(path), data, path)
    scenario.expect_equal(m.exists(WINDOWS_EMM386), False,
                          "EMM386.EXE in the Windows directory")
    scenario.expect_equal(m.exists(WININIT), False, "WININIT.INI")


def restart(m):
    """The next start of the machine: Wine's start-up carries out
    WININIT.INI."""
    code = m._wine(["wineboot", "-r"])
    scenario.expect_equal(code, 0, "wineboot -r exit code")
    m.finish()


def entries(m):
    lines = m.read_text(WININIT).split("\r\n")
    scenario.expect_equal(lines[-1], "", "end of WININIT.INI")
    return lines[:-1]


@scenario.scenario(timeout=180)
def relaunch_copies_gone_after_restart(m):
    """The hand-over copies in the temporary directory are entered in
    WININIT.INI and deleted at the next start (nothing starts Wine between
    the run and the restart, so WININIT.INI waits for it)."""
    m.install_program(INSTALL)
    m.write_ini(INSTALL + "\\CARD.INI", PLAIN_INI)
    first = m.run(INSTALL, ["CARD.INI"])
    scenario.expect_run(first, 0, [])
    if m.answer("no") is None:
        raise AssertionError("the copy in the temporary directory showed no box")
    m.finish()

    lines = entries(m)
    scenario.expect_equal(lines[0], "[rename]", "section header")
    named = [line[4:].rsplit("\\", 1)[-1].lower() for line in lines[1:]]
    scenario.expect_equal(named, ["deveject.exe", "seldunax.ini",
                                  "seldunax.exe"], "files entered")
    for line in lines[1:]:
        if not line.startswith("NUL=C:\\"):
            raise AssertionError(f"not a deletion entry: {line!r}")
    scenario.expect_equal(sorted(f.lower() for f in m.listdir(m.temp_dir)),
                          ["deveject.exe", "seldunax.exe", "seldunax.ini"],
                          "the copies before the restart")

    restart(m)
    copies = [f.lower() for f in m.listdir(m.temp_dir)]
    for name in ("seldunax.exe", "seldunax.ini", "deveject.exe"):
        if name in copies:
            raise AssertionError(f"{name} still in the temporary directory")
    scenario.expect_equal(m.exists(WININIT), False, "WININIT.INI after restart")


# The delete list of the two scenarios below: the running program itself,
# which cannot be deleted while it runs, and a file that is not there (which
# has nothing to delete at the next start either).
DELETE_INI = dict(PLAIN_INI, delete={"1": DISK + "\\SELDUNAX.EXE",
                                     "2": DISK + "\\GONE.DRV"})


@scenario.scenario(timeout=180)
def running_program_deleted_at_restart(m):
    """The running program is entered in WININIT.INI, the missing file is
    not, and the program is gone after the next start."""
    m.install_program(DISK)
    m.write_ini(DISK + "\\SELDUNAX.INI", DELETE_INI)
    result = m.run(DISK, ["SELDUNAX.INI"], answers=["yes", "ok"])
    scenario.expect_run(result, 0, [(texts.CONFIRM_FULL, "YES NO"),
                                    (texts.REBOOT_NOW, "OK")])
    m.finish()
    scenario.expect_equal(entries(m), [
        "[rename]", "NUL=C:\\DISK\\SELDUNAX.EXE"], "WININIT.INI")
    scenario.expect_equal(m.exists(DISK + "\\SELDUNAX.EXE"), True,
                          "SELDUNAX.EXE before the restart")
    restart(m)
    scenario.expect_equal(m.exists(DISK + "\\SELDUNAX.EXE"), False,
                          "SELDUNAX.EXE after the restart")


# What another installer left in WININIT.INI: a section of its own and a
# deletion of its own, both of which must stay and be carried out.
OTHER_PROGRAMS_FILE = "C:\\OTHER\\OLD.DLL"
WININIT_BEFORE = ("[CombineVxDs]\r\n=C:\\WINDOWS\\SYSTEM\\VMM32.VXD\r\n\r\n"
                  "[rename]\r\nNUL=" + OTHER_PROGRAMS_FILE + "\r\n")


@scenario.scenario(timeout=180)
def entries_join_an_existing_wininit(m):
    """An existing WININIT.INI keeps its sections and entries; the
    program's go at the top of its [rename] section, latest first, and the
    next start carries out all of them. Laid out, run and read back in one
    Wine session: a new session would carry the file out before the program
    saw it."""
    m.install_program(DISK)
    m.write_ini(DISK + "\\SELDUNAX.INI", DELETE_INI)
    m.write(OTHER_PROGRAMS_FILE, b"MZ another program's old library")
    with m.session():
        m.write(WININIT, WININIT_BEFORE.encode())
        result = m.run(DISK, ["SELDUNAX.INI"], answers=["yes", "ok"])
        scenario.expect_run(result, 0, [(texts.CONFIRM_FULL, "YES NO"),
                                        (texts.REBOOT_NOW, "OK")])
        lines = entries(m)
    m.finish()
    scenario.expect_equal(lines, [
        "[CombineVxDs]", "=C:\\WINDOWS\\SYSTEM\\VMM32.VXD", "[rename]",
        "NUL=C:\\DISK\\SELDUNAX.EXE", "NUL=" + OTHER_PROGRAMS_FILE],
        "WININIT.INI")
    scenario.expect_equal(m.exists(OTHER_PROGRAMS_FILE), True,
                          "the other program's file before the restart")
    restart(m)
    for path in (OTHER_PROGRAMS_FILE, DISK + "\\SELDUNAX.EXE", WININIT):
        scenario.expect_equal(m.exists(path), False,
                              f"{path} after the restart")


# [delete] values as a control file may write them, run from C:\\DISK, each
# file held open: relative, "." and "..", drive-relative, "/" with long
# names, a doubled backslash. The start-up that carries out WININIT.INI
# runs in a directory of its own (Wine's in C:\\windows), so every entry must
# be absolute and 8.3; the namesakes in C:\\WINDOWS must stay.
HELD_VALUES = {
    "VNTREL.DLL": DISK + "\\VNTREL.DLL",
    ".\\SUB\\VNTDOT.DLL": DISK + "\\SUB\\VNTDOT.DLL",
    "..\\VNTUP.DLL": "C:\\VNTUP.DLL",
    "C:VNTDRV.DLL": DISK + "\\VNTDRV.DLL",
    "C:/VNT Long Dir/Held Long Name.dll": "C:\\VNT Long Dir\\Held Long Name.dll",
    "C:\\VNTDBL\\\\HELD.DLL": "C:\\VNTDBL\\HELD.DLL",
}
NAMESAKES = [WINDOWS_DIR + "\\VNTREL.DLL", WINDOWS_DIR + "\\SUB\\VNTDOT.DLL",
             WINDOWS_DIR + "\\VNTDRV.DLL"]


class HeldOpen:
    """hold_open.exe keeping files open without sharing until stopped."""

    def __init__(self, m, paths):
        self.stop = os.path.join(m.dir, "held.stop")
        self.process = subprocess.Popen(
            ["wine", wineenv.find_program("hold_open.exe"),
             wineenv.to_windows_path(self.stop)] + paths +
            ["--timeout", "300"],
            env=m.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        output = b""
        while b"ready" not in output and self.process.poll() is None:
            ready, _, _ = select.select([self.process.stdout], [], [], 60)
            if not ready:
                break
            output += os.read(self.process.stdout.fileno(), 4096)
        if b"ready" not in output:
            self.release()
            raise AssertionError(f"the files were not held: {output!r}")

    def release(self):
        open(self.stop, "wb").close()
        self.process.wait(timeout=60)
        self.process.stdout.close()


def is_absolute_8_3(path):
    names = path[3:].split("\\")
    return path[1:3] == ":\\" and all(
        0 < len(n.split(".")[0]) <= 8 and n.count(".") <= 1 and
        len(n.partition(".")[2]) <= 3 and " " not in n for n in names)


@scenario.scenario(timeout=240)
def relative_entries_absolute_after_restart(m):
    """Relative and odd [delete] values of files held open give absolute
    8.3 entries; the next start deletes those files and leaves their
    namesakes in C:\\WINDOWS."""
    m.install_program(DISK)
    m.write_ini(DISK + "\\SELDUNAX.INI",
                dict(PLAIN_INI, delete=list(HELD_VALUES)))
    for path in list(HELD_VALUES.values()) + NAMESAKES:
        m.write(path, b"MZ " + path.encode())
    with m.session():
        held = HeldOpen(m, list(HELD_VALUES.values()))
        try:
            result = m.run(DISK, ["SELDUNAX.INI"], answers=["yes", "ok"])
            lines = entries(m)
        finally:
            held.release()
    scenario.expect_run(result, 0, [(texts.CONFIRM_FULL, "YES NO"),
                                    (texts.REBOOT_NOW, "OK")])
    m.finish()
    scenario.expect_equal(lines[0], "[rename]", "section header")
    written = [line[4:] for line in lines[1:]]
    exact = [path for path in reversed(HELD_VALUES.values())
             if " " not in path]
    scenario.expect_equal([p for p in written if p in exact], exact,
                          "entries of the 8.3 names, latest first")
    scenario.expect_equal(len(written), len(HELD_VALUES), "entries")
    odd = [p for p in written if not is_absolute_8_3(p)]
    scenario.expect_equal(odd, [], "entries that are not absolute 8.3 paths")
    restart(m)
    for path in HELD_VALUES.values():
        scenario.expect_equal(m.exists(path), False, f"{path} after restart")
    for path in NAMESAKES:
        scenario.expect_equal(m.exists(path), True, f"{path} after restart")


if __name__ == "__main__":
    sys.exit(scenario.main())
