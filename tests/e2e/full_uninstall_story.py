"""The whole story on one machine: the card installed, SELDUNAX.EXE started
from C:\\VANTORIS as a user would, the hand-over to the temporary directory,
Yes to the confirmation, and what the machine looks like afterwards and
after the next start.

Every file of drive C: and the card's part of the registry are compared
before and after the run: what the control file lists (and the hand-over
copies, WININIT.INI, the start-up files) may change, nothing else."""

import sys

from e2e import card, scenario, snapshot
import texts
from e2e.card import INSTALL
from e2e.machine import WINDOWS_DIR

WININIT = WINDOWS_DIR + "\\WININIT.INI"
DEVEJECT_LOG = "C:\\deveject.log"

# The card's control file, as the installer leaves it in C:\VANTORIS.
CONTROL = {
    "pnpids": ["VNT2300_DEV", "VNT2301"],
    "copy": {"FROM1": card.SAVED_MIDIMAP, "TO1": card.MIDIMAP},
    "delete": ["%WINSYS%\\VNTWAVE.DRV", "%WINSYS%\\VNTMIDI.DRV",
               "%WINSYS%\\VNTAUD.VXD", "%WINDIR%\\VNTMIX.EXE",
               "%WINSYS%\\VNTOLD.DRV"],
    "multdel": ["%WINDIR%\\INF\\VNT*.INF", "%WINSYS%\\VNT*.DLL"],
    "deltree": [INSTALL],
}

# The machine is the card's (e2e/card.py). Its files of the system
# directory (%WINSYS%) are laid out where the program under test finds them
# (m.on_disk); what it writes names them as it sees them (m.seen).
#
# Drivers the system still holds open while the uninstall runs: they
# cannot be deleted then and go at the next start.
HELD = card.HELD_FILES
# Named in [delete] but never installed: nothing to delete now or at the
# next start, so it is not entered in WININIT.INI.
NEVER_INSTALLED = "%WINSYS%\\VNTOLD.DRV"
MIDIMAP = card.MIDIMAP


# ---------------------------------------------------------------- helpers

def tree(m):
    """{lower-case Windows path: snapshot.Entry} of drive C:, every file
    compared by content."""
    return snapshot.drive_c(m)


def registry(m):
    """The card's part of the registry: {lower-case key path: values}."""
    keys = snapshot.registry(m, (card.ENUM, card.CLASS))
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


def on_all(m, paths):
    """paths where they lie on this machine (see Machine.on_disk)."""
    return {m.on_disk(p) for p in paths}


def install_card(m):
    card.install_card(m, deveject="recording")
    m.write_ini(card.CONTROL, CONTROL)


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
    for key in card.CARD_KEYS:
        if key.lower() not in keys_before:
            raise AssertionError(f"set-up: {key} was not imported")

    # One session from the run to the reading of its results: a new one
    # would carry out WININIT.INI before the restart below.
    held = on_all(m, HELD)
    with m.session(held=held) as session:
        run_with_yes(m)
        if not session.holding():
            raise AssertionError(f"{sorted(held)} were released before the "
                                 "run ended")
        # The closing message came after the last step: the results are
        # final.
        files_after = tree(m)
        keys_after = registry(m)
        wininit_after = m.read(WININIT)
    leftover = m.finish(timeout=60)
    if leftover:
        raise AssertionError(f"a process was left running: {leftover}")

    for path in held:
        if not m.exists(path):
            raise AssertionError(f"{path} was deleted during the run: it "
                                 "was not held open")
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


def changes(before, after):
    """The lower-case paths removed, added and changed between two trees."""
    diff = snapshot.TreeDiff(before, after)
    return [lower(e.path for e in entries)
            for entries in (diff.removed, diff.added, diff.changed)]


def check_files_after_run(m, before, after):
    gone, added, changed = changes(before, after)

    expected_gone = below(before, INSTALL) | lower(on_all(m, card.CARD_FILES))
    expected_gone -= lower(on_all(m, HELD))
    expect_set(gone, expected_gone, "files and directories removed")

    expect_set(added, lower(temp_copies(m)) | lower(
        [WININIT, DEVEJECT_LOG, WINDOWS_DIR + "\\EMM386.EXE"]),
        "files added")
    expect_set(changed, lower(on_all(m, list(card.START_FILES) + [MIDIMAP])),
               "files changed")

    scenario.expect_equal(m.read(m.on_disk(MIDIMAP)),
                          card.INSTALL_FILES[card.SAVED_MIDIMAP],
                          "MIDIMAP.CFG copied back")
    scenario.expect_equal(m.read(WINDOWS_DIR + "\\EMM386.EXE"),
                          card.INSTALL_FILES[INSTALL + "\\DOS\\EMM386.EXE"],
                          "EMM386.EXE restored")
    for path in ("C:\\AUTOEXEC.BAT", WINDOWS_DIR + "\\DOSSTART.BAT"):
        text = m.read_text(path).upper()
        if "HALCYRENE" in text or "VANTORIS" in text:
            raise AssertionError(f"{path} still names the card:\n{text}")

    # The entries name the files as the program sees them.
    entries = lower(wininit_entries(m))
    expect_set(entries, lower(temp_copies(m)) |
               lower(m.seen(p) for p in HELD),
               "WININIT.INI entries")


def check_registry_after_run(before, after):
    gone = set(before) - set(after)
    expected = set()
    for key in card.CARD_KEYS:
        expected |= below(before, key)
    expect_set(gone, expected, "registry keys removed")
    expect_set(set(after) - set(before), set(), "registry keys added")
    for key in after:
        scenario.expect_equal(after[key], before[key], f"values of {key}")


def check_release_tool(m):
    """One run for each of the card's devices, in the order the program
    takes them, with the DevNode of its driver key (e2e/card.py), which is
    still there."""
    runs = m.read_text(DEVEJECT_LOG).replace("\r\n", "\n").split("\n")
    scenario.expect_equal([r for r in runs if r],
                          ["2f\tpresent", "30\tpresent", "31\tpresent",
                           "1a4\tpresent"],
                          "release tool runs (device node, driver key)")


def check_after_restart(m, before):
    """The restart (wineboot, a 64-bit program) carries out every entry by
    its name as it stands: a name in a system directory that Wine
    redirects for the 32-bit program (system32 for SysWOW64) names another
    file for the restart, and a held driver there stays where it lies."""
    after = tree(m)
    for path in temp_copies(m) | {m.seen(p) for p in HELD}:
        if m.exists(path):
            raise AssertionError(f"{path} still there after the restart")
    scenario.expect_equal(m.exists(WININIT), False, "WININIT.INI")
    staying = [p for p in HELD if m.on_disk(p).lower() != m.seen(p).lower()]
    for path in HELD:
        scenario.expect_equal(m.exists(m.on_disk(path)), path in staying,
                              f"{m.on_disk(path)} there after the restart")
    # Everything else is as the run left it.
    gone_now = changes(before, after)[0]
    expected = below(before, INSTALL) | lower(on_all(m, card.CARD_FILES))
    expected -= lower(on_all(m, staying))
    expect_set(gone_now, expected, "removed after the restart")


if __name__ == "__main__":
    sys.exit(scenario.main())
