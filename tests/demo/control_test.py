"""scripts/demo.sh --control on the control file with one mistake of each
kind (tests/data/demo/one_mistake.ini): the machine is completed from the
native checker's plan (scripts/demo/layout.py), and when the run removes
nothing the verdict (scripts/demo/left.py) names everything laid out for
the plan's entries and nothing for the entries the program passes over.
Laid out in the wrong place, or named from anything but the plan, an
entry shows here. The i686 program's view: its system directory
C:\\windows\\system32 lies in C:\\windows\\syswow64, its
HKEY_LOCAL_MACHINE\\SOFTWARE in Software\\Wow6432Node."""

import os
import unittest

from demo import asked, layout, left
from e2e import card, snapshot
from e2e.machine import on_disk

REPO = os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))
CHECKER = os.environ.get("SELDUNAX_SELDCHK", os.path.join(
    REPO, "build", "native", "seldchk", "seldchk"))
CONTROL = os.path.join(REPO, "tests", "data", "demo", "one_mistake.ini")
SEEN, DISK = "C:\\windows\\system32", "C:\\windows\\syswow64"
TEMP = "C:\\users\\me\\Temp"
SOFTWARE = "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node"
MENU = "C:\\users\\me\\Start Menu"


class Machine:
    """The files and registry keys layout.complete lays out, in memory."""

    software_key = SOFTWARE

    def __init__(self, files):
        self.files = dict(files)
        self.keys = {}

    def exists(self, path):
        low = path.lower() + "\\"
        return any(p.lower() + "\\" == low or p.lower().startswith(low)
                   for p in self.files)

    def listdir(self, path):
        return sorted({p[len(path) + 1:].split("\\")[0] for p in self.files
                       if p.lower().startswith(path.lower() + "\\")})

    def write(self, path, data):
        self.files[path] = data

    def read_text(self, path):
        return self.files[path]

    def import_reg(self, keys):
        self.keys.update(keys)

    def tree(self):
        """A tree snapshot, each file's directories with it."""
        found = {}
        for path, data in self.files.items():
            parts = path.split("\\")
            for n in range(2, len(parts)):
                folder = "\\".join(parts[:n])
                found[folder.lower()] = snapshot.Entry("dir", folder)
            found[path.lower()] = snapshot.Entry("file", path,
                                                 stamp=str(data))
        return found


class OneMistakeOfEachKind(unittest.TestCase):
    def test_what_the_verdict_names_when_nothing_goes(self):
        rows, findings = asked.read_plan(CHECKER, CONTROL, "C:\\windows",
                                         SEEN, TEMP)
        self.assertTrue(findings)
        m = Machine(dict(card.START_FILES, **{
            card.SAVED_MIDIMAP: "saved", "C:\\windows\\INF\\OEM3.INF": "x"}))
        place = asked.placing_in(TEMP, lambda p: on_disk(p, SEEN, DISK),
                                 "C:\\windows", {"Start Menu": MENU})
        layout.complete(m, rows, place, asked.key_lying(SOFTWARE))
        before = m.tree()
        keys = dict(card.REGISTRY, **card.software_keys(SOFTWARE), **m.keys)
        lying = lambda path: place(path).lower()  # noqa: E731
        allowed = asked.allowed_changes(rows, before, keys, lying,
                                        card.ISAPNP, card.CLASS,
                                        asked.key_lying(SOFTWARE))
        named = {thing.lower() for thing, _ in (
            left.files_left(allowed, before, [])
            + left.keys_left(allowed, keys)
            + left.copies_left(rows, lying, before, before))}
        named |= {f"{path}: {line}".lower() for path, line, _ in
                  left.lines_left(rows, {p: m.files[p] for p in
                                         card.START_FILES_CLEANED})}
        autoexec = "C:\\AUTOEXEC.BAT: "
        table = [
            ("C:\\windows\\INF", True),  # [copy] TO a directory
            (DISK + "\\VNT64.VXD", True),
            (TEMP + "\\%winsys%\\VNT64.DRV", True),  # a macro in small letters
            ("C:\\windows\\HELP\\VNT64A.HLP", True),
            ("C:\\windows\\HELP\\KEEP.TXT", False),  # the mask passes it by
            ("C:\\%PROGRAMS%\\AudioMax 64\\README.TXT", True),  # not at start
            (MENU + "\\AudioMax 64", True),  # where the machine's menu is
            ("C:\\windows\\Start Menu\\AudioMax 64", False),
            (card.ISAPNP + "\\VNT4000\\0A1B2C3D", True),
            (SOFTWARE + "\\VANTORIS\\AudioMax", True),
            # The card's key is there (a key below it is): none laid out.
            (SOFTWARE + "\\VANTORIS\\Settings", False),
            (SOFTWARE + "\\Microsoft\\Windows\\CurrentVersion\\Run", False),
            ("HKEY_CLASSES_ROOT\\VNTMixer.Settings", False),  # another root
            (card.USER_SOFTWARE + "\\VANTORIS", False),  # after the gap
            (autoexec + "SET VNT64=A220 I7 D1", True),
            (autoexec + "SET PATH=%PATH%;C:\\VNT64", True),
            (autoexec + "SET VNT=A220 I7 D1", False),  # too short a word
        ]
        for thing, is_named in table:
            with self.subTest(thing=thing):
                self.assertEqual(thing.lower() in named, is_named)


if __name__ == "__main__":
    unittest.main()
