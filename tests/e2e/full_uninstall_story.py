"""The whole story on one machine: the card installed, SELDUNAX.EXE started
from C:\\VANTORIS as a user would, the hand-over to the temporary directory,
Yes to the confirmation, and what the machine looks like afterwards and
after the next start.

Every file of drive C: and the card's part of the registry are compared
before and after the run: what the control file lists (and the hand-over
copies, WININIT.INI, the start-up files) may change, nothing else."""

import hashlib
import os
import subprocess
import sys
import time

from e2e import scenario
import texts
from e2e.machine import WINDOWS_DIR

INSTALL = "C:\\VANTORIS"
WININIT = WINDOWS_DIR + "\\WININIT.INI"
DEVEJECT_LOG = "C:\\deveject.log"

ENUM = "HKEY_LOCAL_MACHINE\\Enum"
CLASS = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class"

# The card's control file, as the installer leaves it in C:\VANTORIS.
CONTROL = {
    "pnpids": ["VNT2300_DEV", "VNT2301"],
    "copy": {"FROM1": INSTALL + "\\BACKUP\\MIDIMAP.CFG",
             "TO1": "%WINSYS%\\MIDIMAP.CFG"},
    "delete": ["%WINSYS%\\VNTWAVE.DRV", "%WINSYS%\\VNTMIDI.DRV",
               "%WINSYS%\\VNTAUD.VXD", "%WINDIR%\\VNTMIX.EXE",
               "%WINSYS%\\VNTOLD.DRV"],
    "multdel": ["%WINDIR%\\INF\\VNT*.INF", "%WINSYS%\\VNT*.DLL"],
    "deltree": [INSTALL],
}

# The files of the system directory (%WINSYS%) are laid out where the
# program under test finds them (m.on_disk); what it writes names them as it
# sees them (m.seen).
#
# A driver the system still holds open while the uninstall runs: it cannot
# be deleted then and goes at the next start.
HELD = "%WINSYS%\\VNTAUD.VXD"
# Named in [delete] but never installed: nothing to delete now or at the
# next start, so it is not entered in WININIT.INI.
NEVER_INSTALLED = "%WINSYS%\\VNTOLD.DRV"
MIDIMAP = "%WINSYS%\\MIDIMAP.CFG"

# The card's files outside its install directory, and what stays beside them.
CARD_FILES = {
    "%WINSYS%\\VNTWAVE.DRV": b"MZ wave driver",
    "%WINSYS%\\VNTMIDI.DRV": b"MZ midi driver",
    HELD: b"MZ audio vxd",
    "%WINSYS%\\VNTCTL.DLL": b"MZ control library",
    "%WINSYS%\\VNTFX.DLL": b"MZ effects library",
    WINDOWS_DIR + "\\VNTMIX.EXE": b"MZ mixer",
    WINDOWS_DIR + "\\INF\\VNT2300.INF": b"[Version]\r\n",
    WINDOWS_DIR + "\\INF\\VNT2301.INF": b"[Version]\r\n",
}
OTHER_FILES = {
    MIDIMAP: b"the installer's MIDI set-up",
    "%WINSYS%\\VNTWAVE.DRV.TXT": b"a note that only looks like the card's",
    WINDOWS_DIR + "\\INF\\OEM7.INF": b"[Version]\r\n",
    "C:\\VANTORIS.TXT": b"a file beside the install directory",
    "C:\\GAMES\\VNTDEMO.DLL": b"not in a listed directory",
}
# The install directory, with the program, its control file and release
# tool (added by the scenario), and a tree below it.
INSTALL_FILES = {
    INSTALL + "\\BACKUP\\MIDIMAP.CFG": b"the MIDI set-up before the card",
    INSTALL + "\\DOS\\EMM386.EXE": b"MZ saved memory manager",
    INSTALL + "\\DOS\\HCINIT.EXE": b"MZ card init",
    INSTALL + "\\DOS\\HALCYREN.ROM": b"\x00\x01 card firmware",
    INSTALL + "\\MIXER\\VNTMIX.HLP": b"help",
    INSTALL + "\\MIXER\\SKINS\\BLUE\\PANEL.BMP": b"BM panel",
    INSTALL + "\\MIXER\\.settings": b"hidden settings file",
    INSTALL + "\\README.TXT": b"read me",
}

AUTOEXEC = ("@ECHO OFF\r\nSET HALCYRENE=C:\\VANTORIS\\DOS\r\n"
            "C:\\VANTORIS\\DOS\\HCINIT.EXE /HALCYRENE\r\n"
            "PATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n")
DOSSTART = "@echo off\r\nLH C:\\VANTORIS\\DOS\\HCINIT.EXE /HALCYRENE\r\n"
CONFIG = ("DEVICE=C:\\WINDOWS\\HIMEM.SYS\r\n"
          "DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE NOEMS\r\nFILES=40\r\n")
START_FILES = {
    "C:\\AUTOEXEC.BAT": AUTOEXEC.encode(),
    WINDOWS_DIR + "\\DOSSTART.BAT": DOSSTART.encode(),
    "C:\\CONFIG.SYS": CONFIG.encode(),
}

# Two devices of the card with one instance each, a device of another
# maker, and class driver keys for all three.
REGISTRY = {
    ENUM + "\\ISAPNP\\VNT2300_DEV0001\\0": {"Driver": "MEDIA\\0001",
                                            "DeviceDesc": "VANTORIS Audio"},
    ENUM + "\\ISAPNP\\VNT2301\\0": {"Driver": "MEDIA\\0002",
                                    "DeviceDesc": "VANTORIS MIDI"},
    ENUM + "\\ISAPNP\\PNPB003\\0": {"Driver": "MEDIA\\0000",
                                    "DeviceDesc": "another card"},
    CLASS + "\\MEDIA\\0000": {"DriverDesc": "another card"},
    CLASS + "\\MEDIA\\0000\\Drivers": {"DevNode": bytes([0x11, 0, 0, 0])},
    CLASS + "\\MEDIA\\0001": {"DriverDesc": "VANTORIS Audio"},
    CLASS + "\\MEDIA\\0001\\Drivers": {"DevNode": bytes([0x2F, 0, 0, 0])},
    CLASS + "\\MEDIA\\0002": {"DriverDesc": "VANTORIS MIDI"},
    CLASS + "\\MEDIA\\0002\\Drivers": {"DevNode": bytes([0x30, 0, 0, 0])},
}
CARD_KEYS = [ENUM + "\\ISAPNP\\VNT2300_DEV0001", ENUM + "\\ISAPNP\\VNT2301",
             CLASS + "\\MEDIA\\0001", CLASS + "\\MEDIA\\0002"]

# How long the held driver stays open: long enough for the run to reach its
# delete list on a busy machine; the holder ends by itself before the
# restart.
HOLD_SECONDS = 60


# ---------------------------------------------------------------- helpers

def tree(m):
    """{lower-case Windows path: content digest, or "<dir>"} of drive C:."""
    root = os.path.join(m.prefix, "drive_c")
    found = {}
    for dirpath, dirnames, filenames in os.walk(root):
        rel = os.path.relpath(dirpath, root)
        base = "c:" if rel == "." else "c:\\" + rel.replace("/", "\\")
        for d in dirnames:
            found[(base + "\\" + d).lower()] = "<dir>"
        for f in filenames:
            path = os.path.join(dirpath, f)
            if os.path.islink(path):
                digest = "<link>"
            else:
                with open(path, "rb") as data:
                    digest = hashlib.sha1(data.read()).hexdigest()
            found[(base + "\\" + f).lower()] = digest
    return found


def registry(m):
    """The card's part of the registry: {key path: values}."""
    keys = {}
    for root in (ENUM, CLASS):
        keys.update(m.export_reg(root) or {})
    return {k.lower(): v for k, v in keys.items()}


def below(paths, top):
    top = top.lower()
    return {p for p in paths if p == top or p.startswith(top + "\\")}


def lower(paths):
    return {p.lower() for p in paths}


def expect_set(actual, expected, what):
    missing, extra = expected - actual, actual - expected
    if missing or extra:
        raise AssertionError(f"{what}:\n  missing: {sorted(missing)}\n"
                             f"  unexpected: {sorted(extra)}")


def hold_open(m, path):
    """A process of the machine that keeps path open, without sharing its
    deletion, for about HOLD_SECONDS (ping waits a second between echoes;
    cmd opens an input redirection without delete sharing)."""
    return subprocess.Popen(
        ["wine", "cmd", "/c",
         f"ping -n {HOLD_SECONDS} 127.0.0.1 >nul <{path}"],
        env=m.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wait_until_held(m, holder, path, seconds=5):
    """Gives the holder time to open path; the run then shows whether it
    did (a held file stays and is entered in WININIT.INI)."""
    time.sleep(seconds)
    if holder.poll() is not None:
        raise AssertionError(f"the process holding {path} ended at once")


def on_all(m, paths):
    """paths where they lie on this machine (see Machine.on_disk)."""
    return {m.on_disk(p) for p in paths}


def install_card(m):
    m.install_program(INSTALL, deveject="recording")
    m.write_ini(INSTALL + "\\SELDUNAX.INI", CONTROL)
    for files in (CARD_FILES, OTHER_FILES, INSTALL_FILES, START_FILES):
        for path, data in files.items():
            m.write(m.on_disk(path), data)
    m.import_reg(REGISTRY)


def wininit_entries(m):
    lines = m.read_text(WININIT).split("\r\n")
    scenario.expect_equal(lines[0], "[rename]", "WININIT.INI section header")
    scenario.expect_equal(lines[-1], "", "end of WININIT.INI")
    for line in lines[1:-1]:
        if not line.startswith("NUL="):
            raise AssertionError(f"WININIT.INI: not a deletion: {line!r}")
    return [line[4:] for line in lines[1:-1]]


# --------------------------------------------------------------- scenario

@scenario.scenario(timeout=420)
def uninstall_from_install_dir(m):
    install_card(m)
    m.finish()
    files_before = tree(m)
    keys_before = registry(m)
    for key in CARD_KEYS:
        if key.lower() not in keys_before:
            raise AssertionError(f"set-up: {key} was not imported")

    # One session from the run to the reading of its results: a new one
    # would carry out WININIT.INI before the restart below.
    held = m.on_disk(HELD)
    with m.session():
        holder = hold_open(m, held)
        wait_until_held(m, holder, held)
        run_with_yes(m)
        if holder.poll() is not None:
            raise AssertionError(f"{held} was released before the run "
                                 "ended; raise HOLD_SECONDS")
        # The closing message came after the last step: the results are
        # final.
        files_after = tree(m)
        keys_after = registry(m)
        wininit_after = m.read(WININIT)
    leftover = m.finish(timeout=HOLD_SECONDS + 60)
    if leftover:
        raise AssertionError(f"a process was left running: {leftover}")

    if not m.exists(held):
        raise AssertionError(f"{held} was deleted during the run: it was "
                             "not held open")
    check_files_after_run(m, files_before, files_after)
    check_registry_after_run(keys_before, keys_after)
    check_release_tool(m)

    # The next start carries out WININIT.INI: nothing has started Wine
    # since the run, so its entries still wait.
    scenario.expect_equal(m.read(WININIT), wininit_after,
                          "WININIT.INI before the restart")
    scenario.expect_equal(m._wine(["wineboot", "-r"]), 0, "wineboot -r")
    m.finish()
    check_after_restart(m, files_before)


def run_with_yes(m):
    """Starts the program from the install directory and answers the
    copy's boxes: Yes, then OK."""
    first = m.run(INSTALL, ["SELDUNAX.INI"])
    scenario.expect_run(first, 0, [])
    confirm = m.answer("yes")
    if confirm is None:
        raise AssertionError("the copy in the temporary directory asked "
                             "nothing")
    closing = m.answer("ok")
    problems = scenario.box_problems(confirm, texts.CONFIRM_FULL, "YES NO",
                                     "confirmation")
    if closing is None:
        problems.append("no closing message")
    else:
        problems += scenario.box_problems(closing, texts.REBOOT_NOW, "OK",
                                          "closing message")
    if problems:
        raise AssertionError("\n".join(problems))


def temp_copies(m):
    temp = m.temp_dir
    return {temp + "\\seldunax.exe", temp + "\\seldunax.ini",
            temp + "\\deveject.exe"}


def check_files_after_run(m, before, after):
    gone = set(before) - set(after)
    added = set(after) - set(before)
    changed = {p for p in set(before) & set(after) if before[p] != after[p]}

    expected_gone = below(before, INSTALL) | lower(on_all(m, CARD_FILES))
    expected_gone -= lower([m.on_disk(HELD)])
    expect_set(gone, expected_gone, "files and directories removed")

    expect_set(added, lower(temp_copies(m)) | lower(
        [WININIT, DEVEJECT_LOG, WINDOWS_DIR + "\\EMM386.EXE"]),
        "files added")
    expect_set(changed, lower(on_all(m, list(START_FILES) + [MIDIMAP])),
               "files changed")

    scenario.expect_equal(m.read(m.on_disk(MIDIMAP)),
                          INSTALL_FILES[INSTALL + "\\BACKUP\\MIDIMAP.CFG"],
                          "MIDIMAP.CFG copied back")
    scenario.expect_equal(m.read(WINDOWS_DIR + "\\EMM386.EXE"),
                          INSTALL_FILES[INSTALL + "\\DOS\\EMM386.EXE"],
                          "EMM386.EXE restored")
    for path in ("C:\\AUTOEXEC.BAT", WINDOWS_DIR + "\\DOSSTART.BAT"):
        text = m.read_text(path).upper()
        if "HALCYRENE" in text or "VANTORIS" in text:
            raise AssertionError(f"{path} still names the card:\n{text}")

    # The entries name the files as the program sees them.
    entries = lower(wininit_entries(m))
    expect_set(entries, lower(temp_copies(m)) | lower([m.seen(HELD)]),
               "WININIT.INI entries")


def check_registry_after_run(before, after):
    gone = set(before) - set(after)
    expected = set()
    for key in CARD_KEYS:
        expected |= below(before, key)
    expect_set(gone, expected, "registry keys removed")
    expect_set(set(after) - set(before), set(), "registry keys added")
    for key in after:
        scenario.expect_equal(after[key], before[key], f"values of {key}")


def check_release_tool(m):
    runs = m.read_text(DEVEJECT_LOG).replace("\r\n", "\n").split("\n")
    scenario.expect_equal([r for r in runs if r],
                          ["2f\tpresent", "30\tpresent"],
                          "release tool runs (device node, driver key)")


def check_after_restart(m, before):
    """The restart (wineboot, a 64-bit program) carries out every entry by
    its name as it stands: a name in a system directory that Wine
    redirects for the 32-bit program (system32 for SysWOW64) names another
    file for the restart, and the held driver stays where it lies."""
    after = tree(m)
    for path in temp_copies(m) | {m.seen(HELD)}:
        if m.exists(path):
            raise AssertionError(f"{path} still there after the restart")
    scenario.expect_equal(m.exists(WININIT), False, "WININIT.INI")
    held_stays = m.on_disk(HELD).lower() != m.seen(HELD).lower()
    scenario.expect_equal(m.exists(m.on_disk(HELD)), held_stays,
                          f"{m.on_disk(HELD)} there after the restart")
    # Everything else is as the run left it.
    gone_now = set(before) - set(after)
    expected = below(before, INSTALL) | lower(on_all(m, CARD_FILES))
    if held_stays:
        expected -= lower([m.on_disk(HELD)])
    expect_set(gone_now, expected, "removed after the restart")


if __name__ == "__main__":
    sys.exit(scenario.main())
