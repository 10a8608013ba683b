"""A second card of the family on a German Windows: the guide's German
control file (docs/example/AUDMAX64.INI, saved in Windows-1252) with its
own box title, its own closing text for post-install mode, its words for
the DOS start-up files and its Start-menu group named through %PROGRAMS%,
on a machine whose Shell Folders say Startmenü\\Programme. Run first in
post-install mode, then as a full uninstall, from the driver disk."""

import os
import sys

from e2e import scenario
from e2e.machine import WINDOWS_DIR, WINSYS

EXAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                       "..", "docs", "example", "AUDMAX64.INI")
DISK = "C:\\DISK"
CONTROL = DISK + "\\AUDMAX64.INI"
INSTALL = "C:\\VANTORIS"
AUTOEXEC = "C:\\AUTOEXEC.BAT"
DOSSTART = WINDOWS_DIR + "\\DOSSTART.BAT"

# The German folders, as the registry names them (imported in code page
# 1252, as a German Windows keeps them).
MENU = WINDOWS_DIR + "\\Startmenü"
PROGRAMS = MENU + "\\Programme"
SHELL_FOLDERS = ("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                 "CurrentVersion\\Explorer\\Shell Folders")
ISAPNP = "HKEY_LOCAL_MACHINE\\Enum\\ISAPNP"
# The program removes devices only where it finds their class driver keys'
# parent too.
CLASS = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class"

REGISTRY = {
    SHELL_FOLDERS: {"Start Menu": MENU, "Programs": PROGRAMS,
                    "Startup": PROGRAMS + "\\Autostart"},
    ISAPNP + "\\VNT4000\\0A1B2C3D": {"DeviceDesc": "AudioMax 64"},
    ISAPNP + "\\VNT4001\\0A1B2C3D": {"DeviceDesc": "AudioMax 64 Gameport"},
    ISAPNP + "\\VNT4002\\0A1B2C3D": {"DeviceDesc": "AudioMax 64 MIDI"},
    ISAPNP + "\\VNT2300_DEV0000\\0F1E2D3C": {"DeviceDesc": "the first card"},
    CLASS + "\\MEDIA": {"": "Audio-, Video- und Gamecontroller"},
}
REMOVED_KEYS = ["VNT4000", "VNT4001", "VNT4002"]

GROUP = PROGRAMS + "\\AudioMax 64"
# Wine points the Desktop value at a folder of its own whenever a session
# starts: the mixer's link goes where the value says once it has.
DESKTOP_LINK = "AudioMax 64 Mixer.lnk"
CARD_FILES = [
    WINSYS + "\\VNT64.VXD", WINSYS + "\\VNT64.DRV",
    WINDOWS_DIR + "\\VNT64MIX.EXE", WINDOWS_DIR + "\\HELP\\VNT64.HLP",
    WINDOWS_DIR + "\\HELP\\VNT64MIX.HLP", WINDOWS_DIR + "\\INF\\VNT64.INF",
    GROUP + "\\Mixer.lnk", GROUP + "\\Hilfe.lnk",
    INSTALL + "\\DOS\\VNT64INI.EXE",
]
# The English folders are nothing special on this machine: a group of the
# same name there is the user's; so are the other groups.
KEPT_FILES = [
    WINDOWS_DIR + "\\Start Menu\\Programs\\AudioMax 64\\Mixer.lnk",
    PROGRAMS + "\\Zubehör\\Rechner.lnk",
    PROGRAMS + "\\Autostart\\Mixer.lnk",
    WINDOWS_DIR + "\\HELP\\WINDOWS.HLP",
]

AUTOEXEC_BEFORE = [
    "@ECHO OFF",
    "SET BLASTER=A220 I7 D1 H5 P330 T6",
    "SET VNT64=A220 I7 D1",
    "PATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND;C:\\VANTORIS\\DOS;C:\\DOS",
    "C:\\VANTORIS\\DOS\\VNT64INI.EXE /Q",
    "LH C:\\DOS\\MAUS.COM",
]
AUTOEXEC_AFTER = [
    "@ECHO OFF",
    "SET BLASTER=A220 I7 D1 H5 P330 T6",
    "PATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND;C:\\DOS",
    "LH C:\\DOS\\MAUS.COM",
]
DOSSTART_BEFORE = ["@ECHO OFF", "LH c:\\vantoris\\dos\\vnt64ini.exe /DOS",
                   "LH C:\\DOS\\MAUS.COM"]
DOSSTART_AFTER = ["@ECHO OFF", "LH C:\\DOS\\MAUS.COM"]

# The texts of the example, written out here so that a changed example
# shows.
TITLE = "VANTORIS AudioMax 64 - Deinstallation"
CONFIRM_POST = ("Dieses Programm entfernt die Registrierungseinträge der "
                "AudioMax 64,\ndamit Windows die Karte neu erkennt und ihre "
                "Treiber installiert.\n\nMöchten Sie fortfahren?")
CLOSING_POST = ("Die Registrierungseinträge der AudioMax 64 wurden entfernt."
                "\nBitte starten Sie den Computer neu: Windows erkennt die "
                "Karte dann neu und installiert ihre Treiber.")
CONFIRM_FULL = ("Dieses Programm entfernt die Treiber der VANTORIS AudioMax "
                "64\nund die gesamte zugehörige Software von diesem PC.\n\n"
                "Möchten Sie fortfahren?")
CLOSING_FULL = ("Die Software der VANTORIS AudioMax 64 wurde entfernt.\n"
                "Bitte starten Sie den Computer jetzt neu.")


def lines(text_lines):
    return "".join(line + "\r\n" for line in text_lines).encode("cp1252")


def lay_out(m):
    m.install_program(DISK)
    with open(EXAMPLE, "rb") as f:
        m.write(CONTROL, f.read())
    m.import_reg(REGISTRY)
    for path in CARD_FILES + KEPT_FILES:
        m.write(m.on_disk(path), b"MZ " + path.encode("cp1252"))
    m.write(AUTOEXEC, lines(AUTOEXEC_BEFORE))
    m.write(DOSSTART, lines(DOSSTART_BEFORE))


def shell_folder(m, name):
    return (m.export_reg(SHELL_FOLDERS) or {}).get(SHELL_FOLDERS, {}).get(name)


def device_keys(m):
    keys = m.export_reg(ISAPNP) or {}
    return sorted({key[len(ISAPNP) + 1:].split("\\")[0] for key in keys
                   if key.startswith(ISAPNP + "\\")})


@scenario.scenario(timeout=240)
def german_machine_second_card(m):
    lay_out(m)
    scenario.expect_equal(shell_folder(m, "Programs"), PROGRAMS,
                          "set-up: the German Programs folder")

    # Post-install mode: the device keys alone, and its own closing text.
    post = m.run(DISK, ["/POSTw95", "AUDMAX64.INI"], answers=["yes", "ok"])
    scenario.expect_run(post, 0, [(CONFIRM_POST, "YES NO"),
                                  (CLOSING_POST, "OK")], title=TITLE)
    scenario.expect_equal(device_keys(m), ["VNT2300_DEV0000"],
                          "device keys after post-install mode")
    scenario.expect_equal(m.read(AUTOEXEC), lines(AUTOEXEC_BEFORE),
                          "AUTOEXEC.BAT after post-install mode")

    # The full uninstall.
    link = shell_folder(m, "Desktop") + "\\" + DESKTOP_LINK
    m.write(link, b"L the mixer's link")
    full = m.run(DISK, ["AUDMAX64.INI"], answers=["yes", "ok"])
    scenario.expect_run(full, 0, [(CONFIRM_FULL, "YES NO"),
                                  (CLOSING_FULL, "OK")], title=TITLE)
    m.finish()
    problems = [f"{path} is still there" for path in CARD_FILES + [link]
                if m.exists(m.on_disk(path))]
    problems += [f"{path} was removed" for path in KEPT_FILES
                 if not m.exists(m.on_disk(path))]
    for path in (GROUP, INSTALL):
        if m.exists(path):
            problems.append(f"{path} is still there")
    if not m.exists(PROGRAMS):
        problems.append(f"{PROGRAMS} was removed")
    if problems:
        raise AssertionError("\n".join(problems))
    scenario.expect_equal(m.read(AUTOEXEC), lines(AUTOEXEC_AFTER),
                          "AUTOEXEC.BAT")
    scenario.expect_equal(m.read(DOSSTART), lines(DOSSTART_AFTER),
                          "DOSSTART.BAT")


if __name__ == "__main__":
    sys.exit(scenario.main())
