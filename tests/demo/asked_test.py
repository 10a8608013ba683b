"""What the demo's verdict lets the run change (scripts/demo/asked.py): the
native checker's plan of the example control file, as the i686 program
sees the machine (its system directory C:\\windows\\system32 lies in
C:\\windows\\syswow64, its HKEY_LOCAL_MACHINE\\SOFTWARE in
Software\\Wow6432Node), matched on a made-up machine. A wrong verdict would
pass over a removal the demo should report, or report one that was asked
for."""

import os
import unittest

from demo import asked
from e2e import snapshot
from e2e.machine import on_disk

REPO = os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))
CHECKER = os.environ.get("SELDUNAX_SELDCHK", os.path.join(
    REPO, "build", "native", "seldchk", "seldchk"))
CONTROL = os.path.join(REPO, "docs", "example", "SELDUNAX.INI")
ISAPNP = "HKEY_LOCAL_MACHINE\\Enum\\ISAPNP"
CLASS = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class"
SEEN, DISK = "C:\\windows\\system32", "C:\\windows\\syswow64"
# HKEY_LOCAL_MACHINE\\SOFTWARE as the i686 program sees it.
SOFTWARE = "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node"
VERSION = SOFTWARE + "\\Microsoft\\Windows\\CurrentVersion"
USER = "HKEY_CURRENT_USER\\Software"
TEMP = "C:\\users\\me\\Temp"


def tree(*paths):
    """A tree snapshot: paths ending in a backslash are directories."""
    found = {}
    for path in paths:
        kind = "dir" if path.endswith("\\") else "file"
        path = path.rstrip("\\")
        found[path.lower()] = snapshot.Entry(kind, path, stamp="x")
    return found


BEFORE = tree(
    "C:\\AUTOEXEC.BAT", "C:\\VANTORIS.TXT", "C:\\VANTORIS\\",
    "C:\\VANTORIS\\A.EXE", "C:\\VANTORIS\\SUB\\", "C:\\VANTORIS\\SUB\\B.DAT",
    "C:\\VANTORIS2\\C.DAT", DISK + "\\VNTWAVE.DRV", SEEN + "\\VNTWAVE.DRV",
    DISK + "\\vntctl.dll", DISK + "\\VNT.DLL\\", DISK + "\\SUB\\VNTX.DLL",
    DISK + "\\XVNT.DLL", DISK + "\\VNTWAVE.DRV.TXT", DISK + "\\MIDIMAP.CFG")

KEYS = {
    ISAPNP + "\\VNT2300_DEV0000": {},
    ISAPNP + "\\VNT2300_DEV0000\\0001": {"Driver": "MEDIA\\0001"},
    ISAPNP + "\\VNT2300_DEV0000\\0001\\LogConfig": {},
    ISAPNP + "\\VNT2301\\0002": {"Driver": "media\\0002"},
    ISAPNP + "\\vnt2300_dev0009\\0003": {"Driver": "MEDIA\\0003"},
    ISAPNP + "\\VNT230\\0004": {"Driver": "MEDIA\\0004"},
    CLASS + "\\MEDIA\\0001\\Drivers": {},
    CLASS + "\\MEDIA\\00010": {},
    CLASS + "\\MEDIA\\0002": {},
    CLASS + "\\MEDIA\\0003": {},
    CLASS + "\\MEDIA\\0004": {},
    SOFTWARE + "\\VANTORIS\\AudioMax": {},
    "HKEY_LOCAL_MACHINE\\Software\\VANTORIS": {},
    VERSION + "\\Uninstall\\VANTORIS AudioMax\\Sub": {},
    VERSION + "\\Uninstall\\OtherApp": {},
    VERSION + "\\Run": {"vntmix": "a", "OtherTray": "b"},
    VERSION + "\\RunOnce": {"VNTMIX": "a"},
    USER + "\\VANTORIS\\Mixer": {},
    USER + "\\VANTORISX": {},
}


class Verdict(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        rows, findings = asked.read_plan(CHECKER, CONTROL, "C:\\windows",
                                         SEEN, TEMP)
        lying = asked.lying_in(TEMP, lambda p: on_disk(p, SEEN, DISK))
        cls.allowed = asked.allowed_changes(rows, BEFORE, KEYS, lying,
                                            ISAPNP, CLASS,
                                            asked.key_lying(SOFTWARE))
        asked.allow_outside_plan(cls.allowed, BEFORE, "c:\\windows",
                                 TEMP.lower())
        cls.findings = findings

    def test_what_the_run_may_change(self):
        self.assertEqual(self.findings, [])
        rows = [
            ("c:\\vantoris", "remove"),  # delete-tree: the tree itself
            ("c:\\vantoris\\sub\\b.dat", "remove"),
            ("c:\\vantoris.txt", None),  # beside the tree
            ("c:\\vantoris2\\c.dat", None),  # a name that only begins so
            # delete, named in system32, lies in syswow64
            (DISK.lower() + "\\vntwave.drv", "remove"),
            (SEEN.lower() + "\\vntwave.drv", None),
            (DISK.lower() + "\\vntctl.dll", "remove"),  # pattern, any case
            (DISK.lower() + "\\vnt.dll", None),  # a directory
            (DISK.lower() + "\\sub\\vntx.dll", None),  # below the directory
            (DISK.lower() + "\\xvnt.dll", None),
            (DISK.lower() + "\\vntwave.drv.txt", None),
            (DISK.lower() + "\\midimap.cfg", "change"),  # copy target
            ("c:\\windows\\emm386.exe", "add"),  # copy-if-missing
            ("c:\\autoexec.bat", "change"),  # edit
            ("c:\\windows\\wininit.ini", "add"),
            (TEMP.lower() + "\\seldunax.exe", "add"),  # hand-over
        ]
        for path, how in rows:
            with self.subTest(path=path):
                found = ("remove" if path in self.allowed.remove else
                         "add" if path in self.allowed.add else
                         "change" if path in self.allowed.change else None)
                self.assertEqual(found, how)

    def test_the_card_keys_and_nothing_else(self):
        rows = [
            (ISAPNP + "\\VNT2300_DEV0000", True),
            (ISAPNP + "\\VNT2300_DEV0000\\0001\\LogConfig", True),
            (ISAPNP + "\\VNT2301\\0002", True),
            (ISAPNP + "\\vnt2300_dev0009\\0003", False),  # letter case counts
            (ISAPNP + "\\VNT230\\0004", False),  # shorter than the id
            (CLASS + "\\MEDIA\\0001\\Drivers", True),
            (CLASS + "\\MEDIA\\0002", True),  # "Driver" in another case
            (CLASS + "\\MEDIA\\00010", False),  # begins like MEDIA\0001
            (CLASS + "\\MEDIA\\0003", False),
            # [regdel], HKLM\\SOFTWARE as the program sees it
            (SOFTWARE + "\\VANTORIS\\AudioMax", True),
            ("HKEY_LOCAL_MACHINE\\Software\\VANTORIS", False),
            (VERSION + "\\Uninstall\\VANTORIS AudioMax\\Sub", True),
            (VERSION + "\\Uninstall\\OtherApp", False),
            (VERSION + "\\Run", False),  # only its value VNTMIX
            (USER + "\\VANTORIS\\Mixer", True),
            (USER + "\\VANTORISX", False),  # begins like the key
        ]
        for key, removable in rows:
            with self.subTest(key=key):
                self.assertEqual(key.lower() in self.allowed.keys, removable)

    def test_what_nobody_asked_for(self):
        keys_after = {k: v for k, v in KEYS.items() if "0009" not in k}
        keys_after[ISAPNP + "\\NEW"] = {}
        keys_after[VERSION + "\\Run"] = {"OtherTray": "b"}  # VNTMIX asked
        keys_after[VERSION + "\\RunOnce"] = {}
        after = {k: v for k, v in BEFORE.items() if k != "c:\\vantoris.txt"}
        after.update(tree("C:\\NEW.TXT"))
        self.assertEqual(asked.unasked(
            snapshot.TreeDiff(BEFORE, after),
            snapshot.RegistryDiff(KEYS, keys_after), self.allowed), [
            ("file removed", "C:\\VANTORIS.TXT"),
            ("file added", "C:\\NEW.TXT"),
            ("key removed", ISAPNP + "\\vnt2300_dev0009\\0003"),
            ("key added", ISAPNP + "\\NEW"),
            ("values changed", VERSION + "\\RunOnce")])


if __name__ == "__main__":
    unittest.main()
