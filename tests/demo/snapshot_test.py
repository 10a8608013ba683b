"""Tree snapshots of a drive (the harness's e2e/snapshot.py, which the demo
and the full-story scenario share) on a real directory: what counts as
removed, added and changed, and that Wine's links to the host's home are
recorded, never followed."""

import os
import tempfile
import unittest

from e2e import snapshot


def write(root, rel, data):
    path = os.path.join(root, *rel.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


class TreeSnapshots(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = os.path.join(self.tmp.name, "drive_c")
        self.home = os.path.join(self.tmp.name, "home")
        write(self.home, "big/secret.txt", b"never walked")
        for rel, data in (("VANTORIS/A.EXE", b"a"), ("VANTORIS/SUB/B.DAT", b"b"),
                          ("windows/KEEP.TXT", b"keep"),
                          ("windows/BIG.DLL", b"x" * (2 << 20)),
                          ("AUTOEXEC.BAT", b"@ECHO OFF\r\n")):
            write(self.root, rel, data)
        os.makedirs(os.path.join(self.root, "users"))
        os.symlink(self.home, os.path.join(self.root, "users", "Desktop"))
        self.watched = lambda p: not p.startswith("c:\\windows\\")

    def tearDown(self):
        self.tmp.cleanup()

    def snap(self):
        return snapshot.tree(self.root, self.watched)

    def test_entries(self):
        found = self.snap()
        rows = [
            ("c:\\vantoris", "dir", "C:\\VANTORIS"),
            ("c:\\vantoris\\sub\\b.dat", "file", "C:\\VANTORIS\\SUB\\B.DAT"),
            ("c:\\users\\desktop", "link", "C:\\users\\Desktop"),
        ]
        for key, kind, path in rows:
            with self.subTest(key=key):
                self.assertEqual((found[key].kind, found[key].path),
                                 (kind, path))
        self.assertNotIn("c:\\users\\desktop\\big\\secret.txt", found)

    def test_changes(self):
        def same_size_rewrite():
            write(self.root, "AUTOEXEC.BAT", b"@echo off\r\n")

        def big_file_touched():
            path = os.path.join(self.root, "windows", "BIG.DLL")
            stat = os.stat(path)
            os.utime(path, ns=(stat.st_atime_ns, stat.st_mtime_ns + 10**9))

        def small_file_touched():
            path = os.path.join(self.root, "windows", "KEEP.TXT")
            stat = os.stat(path)
            os.utime(path, ns=(stat.st_atime_ns, stat.st_mtime_ns + 10**9))

        def tree_removed():
            for rel in ("VANTORIS/SUB/B.DAT", "VANTORIS/A.EXE"):
                os.remove(os.path.join(self.root, *rel.split("/")))
            os.rmdir(os.path.join(self.root, "VANTORIS", "SUB"))
            os.rmdir(os.path.join(self.root, "VANTORIS"))

        def file_added():
            write(self.root, "windows/WININIT.INI", b"[rename]\r\n")

        rows = [
            # A rewrite of the same size is seen by its content.
            ("same size", same_size_rewrite, [], [], ["C:\\AUTOEXEC.BAT"]),
            # Outside the watched directories a large file is compared by
            # its time, a small one still by its content.
            ("big touched", big_file_touched, [], [],
             ["C:\\windows\\BIG.DLL"]),
            ("small touched", small_file_touched, [], [], []),
            ("tree removed", tree_removed,
             ["C:\\VANTORIS", "C:\\VANTORIS\\A.EXE", "C:\\VANTORIS\\SUB",
              "C:\\VANTORIS\\SUB\\B.DAT"], [], []),
            ("added", file_added, [], ["C:\\windows\\WININIT.INI"], []),
        ]
        for label, change, removed, added, changed in rows:
            with self.subTest(label):
                self.tearDown()
                self.setUp()
                before = self.snap()
                change()
                diff = snapshot.TreeDiff(before, self.snap())
                self.assertEqual([e.path for e in diff.removed], removed)
                self.assertEqual([e.path for e in diff.added], added)
                self.assertEqual([e.path for e in diff.changed], changed)

    def test_only_keeps_the_chosen_paths(self):
        before = self.snap()
        write(self.root, "VANTORIS/NEW.TXT", b"n")
        write(self.root, "windows/NEW.LOG", b"n")
        diff = snapshot.TreeDiff(before, self.snap())
        mine = diff.only(self.watched)
        theirs = diff.only(lambda p: not self.watched(p))
        self.assertEqual([e.path for e in mine.added],
                         ["C:\\VANTORIS\\NEW.TXT"])
        self.assertEqual([e.path for e in theirs.added],
                         ["C:\\windows\\NEW.LOG"])


class RegistryChanges(unittest.TestCase):
    def test_without_what_the_restart_alone_did(self):
        before = {"K\\Card": {"A": 1}, "K\\Video": {"T": 1},
                  "K\\Other": {"B": 1}, "K\\Both": {"C": 1},
                  "K\\Screen": {"D": 1}}
        run = {"K\\Video": {"T": 3}, "K\\Other": {"B": 2},
               "K\\New": {}}
        alone = {"K\\Card": {"A": 1}, "K\\video": {"T": 2},
                 "K\\Other": {"B": 1}, "K\\New": {}, "K\\Screen": {"D": 2}}
        program = snapshot.RegistryDiff(before, run).without(
            snapshot.RegistryDiff(before, alone))
        rows = [
            # Removed by the run and kept, or only changed, by the restart
            # alone; removed by both.
            ("removed", ["K\\Card", "K\\Screen"]),
            # Added by both.
            ("added", []),
            # Changed by both, to other values and in another letter case;
            # changed by the run alone.
            ("changed", ["K\\Other"]),
        ]
        for kind, keys in rows:
            with self.subTest(kind):
                self.assertEqual(getattr(program, kind), keys)


class PathTests(unittest.TestCase):
    def test_below_and_directly_in(self):
        rows = [
            (snapshot.below, "c:\\vantoris", "C:\\VANTORIS", True),
            (snapshot.below, "c:\\vantoris\\a\\b", "C:\\VANTORIS\\", True),
            (snapshot.below, "c:\\vantoris.txt", "C:\\VANTORIS", False),
            (snapshot.below, "c:\\vantoris2\\x", "C:\\VANTORIS", False),
            (snapshot.directly_in, "c:\\windows\\x.ini", "C:\\windows", True),
            (snapshot.directly_in, "c:\\windows\\inf\\x", "C:\\windows",
             False),
            (snapshot.directly_in, "c:\\autoexec.bat", "C:", True),
            (snapshot.directly_in, "c:\\windows", "C:\\windows", False),
        ]
        for test, path, top, result in rows:
            with self.subTest(test=test.__name__, path=path, top=top):
                self.assertEqual(test(path, top), result)


if __name__ == "__main__":
    unittest.main()
