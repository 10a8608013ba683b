"""The demo's verdict (scripts/demo/expected.py, snapshot.py) on made-up
machines: what a full uninstall may change, and what it did that nobody
asked for. A wrong verdict would let the demo pass over a removal it should
report, or report one that the control file asked for."""

import unittest

from demo import expected, snapshot

ISAPNP = "HKEY_LOCAL_MACHINE\\Enum\\ISAPNP"
CLASS = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class"
MACHINE = expected.Machine("C:\\windows", "C:\\windows\\system32",
                           "C:\\users\\me\\Temp")


def tree(*paths):
    """A tree snapshot: paths ending in a backslash are directories."""
    found = {}
    for path in paths:
        kind = "dir" if path.endswith("\\") else "file"
        path = path.rstrip("\\")
        found[path.lower()] = snapshot.Entry(kind, path, stamp="x")
    return found


BEFORE = tree(
    "C:\\AUTOEXEC.BAT", "C:\\CONFIG.SYS", "C:\\VANTORIS.TXT",
    "C:\\VANTORIS\\", "C:\\VANTORIS\\A.EXE", "C:\\VANTORIS\\SUB\\",
    "C:\\VANTORIS\\SUB\\B.DAT", "C:\\VANTORIS2\\", "C:\\VANTORIS2\\C.DAT",
    "C:\\windows\\DOSSTART.BAT", "C:\\windows\\system32\\VNTWAVE.DRV",
    "C:\\windows\\system32\\vntctl.dll", "C:\\windows\\system32\\VNT.DLL\\",
    "C:\\windows\\system32\\SUB\\VNTX.DLL", "C:\\windows\\system32\\XVNT.DLL",
    "C:\\windows\\system32\\MIDIMAP.CFG")

INI = """; comment line
[Delete]
1 = %WINSYS%\\VNTWAVE.DRV
2=%winsys%\\LOWER.DRV
4=C:\\NEVER.READ
[multdel]
1="%WINSYS%\\VNT*.DLL"
[DELTREE]
1=C:\\VANTORIS
[copy]
FROM1=C:\\VANTORIS\\MIDIMAP.CFG
TO1=%WINSYS%\\MIDIMAP.CFG
FROM2=C:\\VANTORIS\\NEW.CFG
TO2=%WINDIR%\\NEW.CFG
FROM3=C:\\X
[pnpids]
1=VNT2300_DEV
2=VNT2301
1=IGNORED
"""


class ReadIni(unittest.TestCase):
    def test_values_as_the_system_reads_them(self):
        ini = expected.read_ini(INI)
        rows = [
            ("delete", "1", "%WINSYS%\\VNTWAVE.DRV"),  # blanks dropped
            ("delete", "4", "C:\\NEVER.READ"),
            ("multdel", "1", "%WINSYS%\\VNT*.DLL"),  # quotes dropped
            ("deltree", "1", "C:\\VANTORIS"),  # section name any case
            ("pnpids", "1", "VNT2300_DEV"),  # the first of two keys wins
        ]
        for section, key, value in rows:
            with self.subTest(section=section, key=key):
                self.assertEqual(ini[section][key], value)

    def test_numbered_lists_end_at_the_first_gap(self):
        ini = expected.read_ini(INI)
        rows = [
            ("delete", "", ["%WINSYS%\\VNTWAVE.DRV", "%winsys%\\LOWER.DRV"]),
            ("copy", "from", ["C:\\VANTORIS\\MIDIMAP.CFG",
                              "C:\\VANTORIS\\NEW.CFG", "C:\\X"]),
            ("copy", "to", ["%WINSYS%\\MIDIMAP.CFG", "%WINDIR%\\NEW.CFG"]),
            ("missing", "", []),
        ]
        for section, prefix, values in rows:
            with self.subTest(section=section, prefix=prefix):
                self.assertEqual(
                    expected.numbered(ini.get(section, {}), prefix), values)


class AllowedChanges(unittest.TestCase):
    def setUp(self):
        self.allowed = expected.allowed_changes(INI, MACHINE, BEFORE, {},
                                                ISAPNP, CLASS)

    def test_what_may_be_removed(self):
        rows = [
            ("c:\\windows\\system32\\vntwave.drv", True),  # [delete]
            ("%winsys%\\lower.drv", True),  # a lower-case macro is literal
            ("c:\\windows\\system32\\lower.drv", False),
            ("c:\\never.read", False),  # after the gap in [delete]
            ("c:\\windows\\system32\\vntctl.dll", True),  # [multdel], any case
            ("c:\\windows\\system32\\vnt.dll", False),  # a directory
            ("c:\\windows\\system32\\sub\\vntx.dll", False),  # below the dir
            ("c:\\windows\\system32\\xvnt.dll", False),
            ("c:\\vantoris", True),  # [deltree]: the tree itself
            ("c:\\vantoris\\sub\\b.dat", True),
            ("c:\\vantoris.txt", False),  # beside the tree
            ("c:\\vantoris2\\c.dat", False),  # a name that only begins so
        ]
        for path, allowed in rows:
            with self.subTest(path=path):
                self.assertEqual(path in self.allowed.remove, allowed)

    def test_what_may_be_added_or_changed(self):
        rows = [
            ("c:\\windows\\system32\\midimap.cfg", "change"),  # copy target
            ("c:\\windows\\new.cfg", "add"),  # copy target not there before
            ("c:\\autoexec.bat", "change"),
            ("c:\\windows\\dosstart.bat", "change"),
            ("c:\\windows\\wininit.ini", "add"),
            ("c:\\windows\\emm386.exe", "add"),
            ("c:\\users\\me\\temp\\seldunax.exe", "add"),
            ("c:\\vantoris.txt", None),
        ]
        for path, how in rows:
            with self.subTest(path=path):
                found = ("add" if path in self.allowed.add else
                         "change" if path in self.allowed.change else None)
                self.assertEqual(found, how)


class CardKeys(unittest.TestCase):
    KEYS = {
        ISAPNP + "\\VNT2300_DEV0000": {},
        ISAPNP + "\\VNT2300_DEV0000\\0001": {"Driver": "MEDIA\\0001"},
        ISAPNP + "\\VNT2300_DEV0000\\0001\\LogConfig": {},
        ISAPNP + "\\VNT2301\\0002": {"Driver": "media\\0002"},
        ISAPNP + "\\vnt2300_dev0009\\0003": {"Driver": "MEDIA\\0003"},
        ISAPNP + "\\VNT230\\0004": {"Driver": "MEDIA\\0004"},
        ISAPNP + "\\CTL0024\\0005": {"Driver": "MEDIA\\0000"},
        CLASS + "\\MEDIA\\0000": {},
        CLASS + "\\MEDIA\\0001": {},
        CLASS + "\\MEDIA\\0001\\Drivers": {"DevNode": b"\x2f\0\0\0"},
        CLASS + "\\MEDIA\\00010": {},
        CLASS + "\\MEDIA\\0002": {},
        CLASS + "\\MEDIA\\0003": {},
        CLASS + "\\MEDIA\\0004": {},
    }

    def test_the_card_and_nothing_else(self):
        keys = expected.card_keys(["VNT2300_DEV", "VNT2301"], self.KEYS,
                                  ISAPNP, CLASS)
        rows = [
            (ISAPNP + "\\VNT2300_DEV0000", True),
            (ISAPNP + "\\VNT2300_DEV0000\\0001\\LogConfig", True),
            (ISAPNP + "\\VNT2301\\0002", True),
            (ISAPNP + "\\vnt2300_dev0009\\0003", False),  # letter case counts
            (ISAPNP + "\\VNT230\\0004", False),  # shorter than the id
            (ISAPNP + "\\CTL0024\\0005", False),
            (CLASS + "\\MEDIA\\0001\\Drivers", True),
            (CLASS + "\\MEDIA\\0002", True),  # "Driver" in another case
            (CLASS + "\\MEDIA\\00010", False),  # begins like MEDIA\0001
            (CLASS + "\\MEDIA\\0003", False),
            (CLASS + "\\MEDIA\\0000", False),
        ]
        for key, removable in rows:
            with self.subTest(key=key):
                self.assertEqual(key.lower() in keys, removable)


class Unasked(unittest.TestCase):
    def test_each_change_outside_what_was_asked(self):
        allowed = expected.allowed_changes(INI, MACHINE, BEFORE,
                                           CardKeys.KEYS, ISAPNP, CLASS)
        changed = dict(BEFORE)
        changed["c:\\autoexec.bat"] = snapshot.Entry(
            "file", "C:\\AUTOEXEC.BAT", stamp="new")
        changed["c:\\vantoris.txt"] = snapshot.Entry(
            "file", "C:\\VANTORIS.TXT", stamp="new")
        rows = [
            ("asked-for removals", ["c:\\vantoris\\a.exe"], {}, [], []),
            ("a file beside the tree", ["c:\\vantoris.txt"], {}, [],
             [("file removed", "C:\\VANTORIS.TXT")]),
            ("a key in another case", [], {},
             [ISAPNP + "\\vnt2300_dev0009\\0003"],
             [("key removed", ISAPNP + "\\vnt2300_dev0009\\0003")]),
            ("start-up file changed", [], changed, [],
             [("file changed", "C:\\VANTORIS.TXT")]),
            ("a new file", [], dict(BEFORE, **tree("C:\\NEW.TXT")), [],
             [("file added", "C:\\NEW.TXT")]),
        ]
        for label, gone, after, keys_gone, found in rows:
            with self.subTest(label):
                after = after or {k: v for k, v in BEFORE.items()
                                  if k not in gone}
                keys_after = {k: v for k, v in CardKeys.KEYS.items()
                              if k not in keys_gone}
                self.assertEqual(expected.unasked(
                    snapshot.TreeDiff(BEFORE, after),
                    snapshot.RegistryDiff(CardKeys.KEYS, keys_after),
                    allowed), found)


if __name__ == "__main__":
    unittest.main()
