"""A Windows 95 PC with the VANTORIS card installed, as the card's
installer leaves it, beside another card's drivers and the user's own
files and another program's registry entries, which must all stay: the
machine of the demo (scripts/demo) and of the full-story scenario
(tests/e2e/full_uninstall_story.py).

Paths are Windows paths on drive C: of a Machine (machine.py): the Windows
directory is C:\\windows; %WINSYS% stands for the system directory, which
machines do not agree on: the machine puts it where the program under test
finds it (Machine.on_disk)."""

from e2e.machine import WINDOWS_DIR, WINSYS

INSTALL = "C:\\VANTORIS"
CONTROL = INSTALL + "\\SELDUNAX.INI"

ENUM = "HKEY_LOCAL_MACHINE\\Enum"
USER_SOFTWARE = "HKEY_CURRENT_USER\\Software"
VERSION = "Microsoft\\Windows\\CurrentVersion"
ISAPNP = ENUM + "\\ISAPNP"
CLASS = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class"

MIDIMAP = WINSYS + "\\MIDIMAP.CFG"
SAVED_MIDIMAP = INSTALL + "\\BACKUP\\MIDIMAP.CFG"

# The install directory as the installer leaves it; install_card adds the
# program and DEVEJECT.EXE, the caller its control file.
INSTALL_FILES = {
    INSTALL + "\\DOS\\EMM386.EXE": b"MZ memory manager saved by the installer",
    INSTALL + "\\DOS\\HCINIT.EXE": b"MZ DOS initialisation of the card",
    INSTALL + "\\DOS\\HALCYREN.ROM": bytes(range(256)) * 4,
    SAVED_MIDIMAP: b"MIDI set-up from before the card\r\n",
    INSTALL + "\\BACKUP\\SYSTEM.INI": b"[boot]\r\ndrivers=mmsystem.dll\r\n",
    INSTALL + "\\MIXER\\VNTMIX.HLP": b"?_ mixer help",
    INSTALL + "\\MIXER\\SKINS\\CLASSIC.BMP": b"BM classic panel",
    INSTALL + "\\MIXER\\SKINS\\DARK\\PANEL.BMP": b"BM dark panel",
    INSTALL + "\\MIXER\\.settings": b"hidden settings file",
    INSTALL + "\\SAMPLES\\DEMO1.WAV": b"RIFF....WAVEfmt demo one",
    INSTALL + "\\SAMPLES\\DEMO2.MID": b"MThd demo two",
    INSTALL + "\\README.TXT": b"VANTORIS sound card, version 1.2\r\n",
}

# The card's drivers outside the install directory: what the control
# file's [copy], [delete] and [multdel] lists name.
CARD_FILES = {
    WINSYS + "\\VNTWAVE.DRV": b"MZ wave driver",
    WINSYS + "\\VNTMIDI.DRV": b"MZ MIDI driver",
    WINSYS + "\\VNTAUD.VXD": b"MZ audio virtual device driver",
    WINSYS + "\\VNTCTL.DLL": b"MZ control panel library",
    WINSYS + "\\VNT3D.DLL": b"MZ 3D sound library",
    WINDOWS_DIR + "\\VNTMIX.EXE": b"MZ mixer",
    WINDOWS_DIR + "\\INF\\VNT2300.INF": b"[Version]\r\nClass=MEDIA\r\n",
    WINDOWS_DIR + "\\INF\\VNT2301.INF": b"[Version]\r\nClass=MEDIA\r\n",
}

# The MIDI set-up the card's installer wrote over the one it saved: the
# control file's [copy] puts the saved one back.
REPLACED_FILES = {MIDIMAP: b"MIDI set-up of the VANTORIS card\r\n"}

# Drivers in use while the uninstall runs (the system has them loaded):
# they cannot be deleted then and go at the next start.
HELD_FILES = [WINSYS + "\\VNTAUD.VXD", WINDOWS_DIR + "\\VNTMIX.EXE"]

# Files that only look related, and another card's drivers: all stay.
OTHER_FILES = {
    WINSYS + "\\VANTOOLS.DLL": b"MZ not the card's: no VNT prefix",
    WINSYS + "\\VNTWAVE.DRV.TXT": b"notes that only look like the card's",
    WINSYS + "\\CTLSB16.DRV": b"MZ the other card's wave driver",
    WINDOWS_DIR + "\\INF\\OEM3.INF": b"[Version]\r\nClass=MEDIA\r\n",
    WINDOWS_DIR + "\\VNTNOTES.TXT": b"the user's notes",
    "C:\\VANTORIS.TXT": b"a file beside the install directory",
    "C:\\GAMES\\VNTDEMO.DLL": b"MZ a game's library, not in a listed directory",
    "C:\\GAMES\\VANTORIS\\SAVE01.DAT": b"a saved game",
}

# The DOS start-up files, with the card's lines among lines that stay.
AUTOEXEC = """@ECHO OFF
PROMPT $p$g
SET BLASTER=A220 I5 D1 H5 P330 T6
SET HALCYRENE=C:\\VANTORIS\\DOS
PATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND;C:\\VANTORIS\\DOS\\HALCYREN.ROM;C:\\DOS
C:\\VANTORIS\\DOS\\HCINIT.EXE /ROM:C:\\VANTORIS\\DOS\\HALCYREN.ROM /Q
LH C:\\MOUSE\\MOUSE.COM
REM - By Windows Setup - LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001
SET TEMP=C:\\WINDOWS\\TEMP
"""
DOSSTART = """@ECHO OFF
REM Programs started when you restart in MS-DOS mode
LH C:\\VANTORIS\\DOS\\HCINIT.EXE /HALCYRENE /Q
LH C:\\MOUSE\\MOUSE.COM
LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001 /V
"""
CONFIG_SYS = """DEVICE=C:\\WINDOWS\\HIMEM.SYS
DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE NOEMS X=C800-CBFF
DOS=HIGH,UMB
DEVICEHIGH=C:\\CDROM\\ATAPI.SYS /D:MSCD001
FILES=40
BUFFERS=30
"""
START_FILES = {
    "C:\\AUTOEXEC.BAT": AUTOEXEC,
    WINDOWS_DIR + "\\DOSSTART.BAT": DOSSTART,
    "C:\\CONFIG.SYS": CONFIG_SYS,
}
# The two that lose the card's lines (CONFIG.SYS is pointed elsewhere).
START_FILES_CLEANED = list(START_FILES)[:2]


def _devnode(number):
    return number.to_bytes(4, "little")


def _instance(desc, driver, hardware_id):
    return {"DeviceDesc": desc, "Class": "MEDIA", "Driver": driver,
            "HardwareID": hardware_id, "Mfg": "VANTORIS",
            "ConfigFlags": bytes(4)}


# ISA Plug and Play devices: the card's three logical devices and its
# wavetable add-on (ids VNT2300_DEV and VNT2301 of [pnpids]), another
# card's device, and a device whose name matches only in another letter
# case, which must stay too.
REGISTRY = {
    ISAPNP + "\\VNT2300_DEV0000\\0F1E2D3C": _instance(
        "VANTORIS Audio", "MEDIA\\0001", "ISAPNP\\VNT2300_DEV0000"),
    ISAPNP + "\\VNT2300_DEV0000\\0F1E2D3C\\LogConfig": {
        "0000": b"\x04\x00\x00\x00\x20\x02\x00\x00"},
    ISAPNP + "\\VNT2300_DEV0001\\0F1E2D3C": _instance(
        "VANTORIS Game Port", "MEDIA\\0002", "ISAPNP\\VNT2300_DEV0001"),
    ISAPNP + "\\VNT2300_DEV0002\\0F1E2D3C": _instance(
        "VANTORIS MIDI", "MEDIA\\0003", "ISAPNP\\VNT2300_DEV0002"),
    ISAPNP + "\\VNT2301\\0A0B0C0D": _instance(
        "VANTORIS Wavetable", "MEDIA\\0004", "ISAPNP\\VNT2301"),
    ISAPNP + "\\CTL0024_DEV0000\\1B2C3D4E": {
        "DeviceDesc": "Another card's audio", "Class": "MEDIA",
        "Driver": "MEDIA\\0000", "HardwareID": "ISAPNP\\CTL0024_DEV0000"},
    ISAPNP + "\\vnt2300_dev0009\\0F1E2D3C": {
        "DeviceDesc": "Device whose id differs in letter case",
        "Class": "MEDIA", "Driver": "MEDIA\\0005"},
    ENUM + "\\Root\\*PNP0C02\\0000": {"DeviceDesc": "Motherboard resources"},
    CLASS + "\\MEDIA": {"": "Sound, video and game controllers"},
    CLASS + "\\MEDIA\\0000": {"DriverDesc": "Another card's audio"},
    CLASS + "\\MEDIA\\0000\\Drivers": {"DevNode": _devnode(0x11)},
    CLASS + "\\MEDIA\\0001": {"DriverDesc": "VANTORIS Audio",
                              "InfPath": "VNT2300.INF"},
    CLASS + "\\MEDIA\\0001\\Drivers": {"DevNode": _devnode(0x2F)},
    CLASS + "\\MEDIA\\0001\\Drivers\\wave\\vntwave.drv": {
        "Driver": "vntwave.drv", "Description": "VANTORIS Wave"},
    CLASS + "\\MEDIA\\0002": {"DriverDesc": "VANTORIS Game Port"},
    CLASS + "\\MEDIA\\0002\\Drivers": {"DevNode": _devnode(0x30)},
    CLASS + "\\MEDIA\\0003": {"DriverDesc": "VANTORIS MIDI"},
    CLASS + "\\MEDIA\\0003\\Drivers": {"DevNode": _devnode(0x31)},
    CLASS + "\\MEDIA\\0003\\Drivers\\midi\\vntmidi.drv": {
        "Driver": "vntmidi.drv", "Description": "VANTORIS MIDI"},
    CLASS + "\\MEDIA\\0004": {"DriverDesc": "VANTORIS Wavetable"},
    CLASS + "\\MEDIA\\0004\\Drivers": {"DevNode": _devnode(0x1A4)},
    CLASS + "\\MEDIA\\0005": {"DriverDesc": "Device in other letter case"},
    CLASS + "\\MEDIA\\0005\\Drivers": {"DevNode": _devnode(0x40)},
    CLASS + "\\HDC\\0000": {"DriverDesc": "Standard IDE/ESDI Hard Disk"},
}


# The card's keys: its devices, whose names begin with its ids VNT2300_DEV
# and VNT2301, and the driver keys their instances name; a full uninstall
# removes them and every key below them, and nothing else.
CARD_KEYS = [ISAPNP + "\\VNT2300_DEV0000", ISAPNP + "\\VNT2300_DEV0001",
             ISAPNP + "\\VNT2300_DEV0002", ISAPNP + "\\VNT2301"] + [
    CLASS + f"\\MEDIA\\000{n}" for n in (1, 2, 3, 4)]



def software_keys(software):
    """The card's keys outside the device side, as its installer wrote
    them, beside another program's entry and start-up value, which stay:
    below software, HKEY_LOCAL_MACHINE\\Software as the program under
    test sees it (Machine.software_key), and the user's."""
    uninstall = software + "\\" + VERSION + "\\Uninstall"
    return {
        software + "\\VANTORIS\\AudioMax": {"Version": "1.2",
                                            "InstallDir": INSTALL},
        software + "\\VANTORIS\\AudioMax\\Mixer": {"Skin": "CLASSIC",
                                                   "Channels": 4},
        uninstall + "\\VANTORIS AudioMax": {
            "DisplayName": "VANTORIS AudioMax",
            "UninstallString": INSTALL + "\\SELDUNAX.EXE SELDUNAX.INI"},
        uninstall + "\\OtherApp": {"DisplayName": "Another program",
                                   "UninstallString": "C:\\OTHER\\UNINST.EXE"},
        software + "\\" + VERSION + "\\Run": {
            "VNTMIX": WINDOWS_DIR + "\\VNTMIX.EXE /TRAY",
            "OtherTray": "C:\\OTHER\\TRAY.EXE"},
        USER_SOFTWARE + "\\VANTORIS\\Mixer": {"Volume": 7},
    }


# What software_keys holds that is not the card's: another program's
# Uninstall entry and its value beside the card's in the Run key (key
# paths below HKEY_LOCAL_MACHINE\\Software as the program sees it).
OTHER_KEYS = {VERSION + "\\Uninstall\\OtherApp": None,
              VERSION + "\\Run": "OtherTray"}


def install_card(m, deveject="built"):
    """Lays the machine out: the program and its release tool (deveject,
    as Machine.install_program takes it) in the install directory, the
    files, the start-up files and the registry. The control file is the
    caller's to write."""
    m.install_program(INSTALL, deveject=deveject)
    for files in (INSTALL_FILES, CARD_FILES, REPLACED_FILES, OTHER_FILES):
        for path, data in files.items():
            m.write(m.on_disk(path), data)
    for path, text in START_FILES.items():
        m.write(path, text)  # code page 1252, CR LF line ends
    m.import_reg(REGISTRY)
    m.import_reg(software_keys(m.software_key))
