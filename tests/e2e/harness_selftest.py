"""Checks of the harness's own logic, which need no Wine: registry
exports read back, REGEDIT4 text written, boxhelper's box reports, links
out of a prefix, which build's files a test runs, when the i686 tests are
skipped, and where a file the program names in its system directory lies."""

import contextlib
import os
import sys
import tempfile

from e2e import builds, regfile, wineenv
from e2e.machine import Box, on_disk

EXPORT_CASES = [
    ("strings and escapes",
     'Windows Registry Editor Version 5.00\r\n\r\n'
     '[HKEY_LOCAL_MACHINE\\Enum\\ISAPNP\\VNT2300]\r\n'
     '"Driver"="MEDIA\\\\0001"\r\n"Quoted"="say \\"hi\\""\r\n'
     '@="default"\r\n',
     {"HKEY_LOCAL_MACHINE\\Enum\\ISAPNP\\VNT2300":
      {"Driver": "MEDIA\\0001", "Quoted": 'say "hi"', "": "default"}}),
    ("dword and hex continued over lines",
     'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n"N"=dword:0000001f\r\n'
     '"B"=hex:01,02,\\\r\n  03,ff\r\n"After"="x"\r\n',
     {"HKEY_LOCAL_MACHINE\\K": {"N": 31, "B": b"\x01\x02\x03\xff",
                               "After": "x"}}),
    ("empty keys keep their place",
     'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\r\n'
     '[HKEY_LOCAL_MACHINE\\A\\B]\r\n"V"=""\r\n',
     {"HKEY_LOCAL_MACHINE\\A": {}, "HKEY_LOCAL_MACHINE\\A\\B": {"V": ""}}),
    ("value ending in a backslash",
     'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n"Dir"="C:\\\\"\r\n'
     '"Next"="y"\r\n',
     {"HKEY_LOCAL_MACHINE\\K": {"Dir": "C:\\", "Next": "y"}}),
]

ROUND_TRIP = {
    "HKEY_LOCAL_MACHINE\\Enum\\ISAPNP\\VNT2300_DEV\\1": {
        "HardwareID": "ISAPNP\\VNT2300_DEV", "Class": 'a "b" c',
        "DevNode": 0x1234, "Raw": b"\x00\x10", "": "dflt"},
    "HKEY_LOCAL_MACHINE\\Empty": {},
}

BOX_CASES = [
    ("yes/no box",
     b"title: VANTORIS Uninstall\nbuttons: YES NO\nicon: no\ntext:\n"
     b"Line\n\nAre you sure?",
     ("VANTORIS Uninstall", ("YES", "NO"), False, "Line\n\nAre you sure?",
      None, None, None)),
    ("text that looks like a header",
     b"title: T\nbuttons: OK\nicon: yes\ntext:\ntext:\nbuttons: NO",
     ("T", ("OK",), True, "text:\nbuttons: NO", None, None, None)),
    ("no buttons, empty text, code page 1252",
     b"title: Caf\xe9\nbuttons:\nicon: no\ntext:\n",
     ("Caf\u00e9", (), False, "", None, None, None)),
    ("with its geometry, one place off the screen",
     b"title: T\nbuttons: OK\nicon: no\nwindow: -3 358 43 51\n"
     b"parts: 510 388 37 32\ntext area: 1 0\ntext:\nHi",
     ("T", ("OK",), False, "Hi", (-3, 358, 43, 51), (510, 388, 37, 32),
      (1, 0))),
]


def link_failures():
    """outward_links finds links that leave drive_c (directly or through a
    relative path) and only those; cut_outward_links turns them into empty
    plain directories and never touches what they pointed at."""
    failures = []
    with tempfile.TemporaryDirectory() as root:
        host = os.path.join(root, "home")
        os.makedirs(os.path.join(host, "keep"))
        prefix = os.path.join(root, "prefix")
        users = os.path.join(prefix, "drive_c", "users", "me")
        os.makedirs(os.path.join(prefix, "drive_c", "inside"))
        os.makedirs(users)
        os.symlink(host, os.path.join(users, "Desktop"))
        os.symlink(os.path.join("..", "..", "..", "..", "home"),
                   os.path.join(users, "Music"))
        os.symlink(os.path.join(prefix, "drive_c", "inside"),
                   os.path.join(users, "Inner"))
        found = sorted(os.path.basename(l)
                       for l, _ in wineenv.outward_links(prefix))
        if found != ["Desktop", "Music"]:
            failures.append(f"links found: {found}")
        wineenv.cut_outward_links(prefix)
        for name in ("Desktop", "Music"):
            path = os.path.join(users, name)
            if os.path.islink(path) or os.listdir(path):
                failures.append(f"{name} is not an empty plain directory")
        if not os.path.isdir(os.path.join(host, "keep")):
            failures.append("the host directory lost its contents")
        if not os.path.islink(os.path.join(users, "Inner")):
            failures.append("a link inside drive_c was cut")
    return failures


@contextlib.contextmanager
def environment(**values):
    """os.environ with values set (None: removed) for the block."""
    saved = {k: os.environ.get(k) for k in values}
    try:
        for k, v in values.items():
            if v is None:
                os.environ.pop(k, None)
            else:
                os.environ[k] = v
        yield
    finally:
        for k, v in saved.items():
            if v is None:
                os.environ.pop(k, None)
            else:
                os.environ[k] = v


def fake_build(root, name, build_type, toolchain, files):
    directory = os.path.join(root, name)
    os.makedirs(os.path.join(directory, "bin"))
    with open(os.path.join(directory, "CMakeCache.txt"), "w") as f:
        f.write(f"CMAKE_BUILD_TYPE:STRING={build_type}\n"
                f"CMAKE_TOOLCHAIN_FILE:FILEPATH=/x/cmake/{toolchain}\n")
    for file in files:
        open(os.path.join(directory, "bin", file), "w").close()
    return directory


# (build under test, program asked for, build directory it must come
# from)
PROGRAM_CASES = [
    ("i686", "SELDUNAX.EXE", "win32"),
    ("i686", "deveject.exe", "win32"),
    ("i686", "SELDCHK.EXE", "win32"),
    ("i686", "platform_probe.exe", "win32"),
    ("i686", "boxhelper.exe", "win64"),
    ("i686", "recording_deveject.exe", "win64"),
    ("x86_64", "SELDUNAX.EXE", "win64"),
    ("x86_64", "boxhelper.exe", "win64"),
]
PROBES = ("platform_probe.exe",)


def program_failures():
    """The program under test and its release tool come from the build
    under test (for i686, the files release_build.sh finds in a MinSizeRel
    build); test tools from the x86_64 build; an i686 directory that is no
    release build is refused."""
    failures = []
    shipped = list(builds.SHIPPED)
    tools = ["boxhelper.exe", "recording_deveject.exe"]
    with tempfile.TemporaryDirectory() as root:
        dirs = {
            "win32": fake_build(root, "win32", "MinSizeRel",
                                "mingw-i686.cmake", shipped + list(PROBES)),
            "win64": fake_build(root, "win64", "MinSizeRel",
                                "mingw-x86_64.cmake",
                                shipped + tools + list(PROBES)),
        }
        debug = fake_build(root, "debug32", "Debug", "mingw-i686.cmake",
                           shipped)
        for build, name, source in PROGRAM_CASES:
            row = f"{build} {name}"
            where = builds.find_program
            if name in PROBES:
                where = builds.build_program
            with environment(SELDUNAX_E2E_BUILD=build,
                             SELDUNAX_WIN32_DIR=dirs["win32"],
                             SELDUNAX_WIN64_DIR=dirs["win64"]):
                got = os.path.relpath(where(name), root).split(os.sep)[0]
            if got != source:
                failures.append(f"program [{row}]: from {got}, not {source}")
        with environment(SELDUNAX_E2E_BUILD="i686",
                         SELDUNAX_WIN32_DIR=debug):
            try:
                builds.find_program("SELDUNAX.EXE")
                failures.append("program [Debug i686 build]: accepted")
            except RuntimeError:
                pass
    return failures


# (status file, SELDUNAX_E2E_REQUIRE_I686, what an i686 test does: "run",
# "skip" or "fail")
VERDICT_CASES = [
    ("ok", None, "run"),
    ("unsupported: no 32-bit code segment", None, "skip"),
    ("unsupported: no 32-bit code segment", "1", "fail"),
    ("broken: exit code 1", None, "fail"),
    (None, None, "fail"),                 # DLLs there, no verdict
    ("stale", None, "fail"),              # verdict of an earlier boot
    ("no DLLs", None, "fail"),
]


def verdict_failures():
    """When the i686 tests run, are skipped or fail, from the verdict of
    scripts/wow64/prepare.sh; the x86_64 ones always run."""
    failures = []
    boot = builds._boot_id()
    for status, require, expected in VERDICT_CASES:
        with tempfile.TemporaryDirectory() as cache:
            if status != "no DLLs":
                os.makedirs(os.path.join(cache, "i386-windows"))
                open(os.path.join(cache, "i386-windows", "ntdll.dll"),
                     "w").close()
            if status not in (None, "no DLLs"):
                key = "other-boot" if status == "stale" else boot
                with open(os.path.join(cache, "status"), "w") as f:
                    f.write(f"key {key} 8.0\n{status}\n")
            with environment(SELDUNAX_WINE_I386=cache,
                             SELDUNAX_E2E_REQUIRE_I686=require,
                             SELDUNAX_E2E_BUILD="i686"):
                old = builds.wow64_verdict
                builds.wow64_verdict = lambda refresh=True: old(False)
                try:
                    reason = builds.why_not_runnable()
                finally:
                    builds.wow64_verdict = old
            with environment(SELDUNAX_WINE_I386=cache,
                             SELDUNAX_E2E_BUILD="x86_64"):
                if builds.why_not_runnable() is not None:
                    failures.append(f"verdict [{status}]: x86_64 not run")
        got = "run" if reason is None else ("skip" if reason[1] else "fail")
        if got != expected:
            failures.append(f"verdict [{status}, require={require}]: {got},"
                            f" expected {expected}")
    return failures


WOW = ("C:\\windows\\system32", "C:\\windows\\syswow64")
# (system directory the program sees, where it lies, path, that path on disk)
ON_DISK_CASES = [
    (*WOW, "%WINSYS%\\VNTAUD.VXD", "C:\\windows\\syswow64\\VNTAUD.VXD"),
    (*WOW, "C:\\windows\\system32\\VNTAUD.VXD",
     "C:\\windows\\syswow64\\VNTAUD.VXD"),
    (*WOW, "c:\\WINDOWS\\SYSTEM32\\sub\\x.dll",
     "C:\\windows\\syswow64\\sub\\x.dll"),
    (*WOW, "C:\\windows\\system32", "C:\\windows\\syswow64"),
    (*WOW, "C:\\windows\\system32x\\a", "C:\\windows\\system32x\\a"),
    (*WOW, "C:\\windows\\VNTMIX.EXE", "C:\\windows\\VNTMIX.EXE"),
    (*WOW, "C:\\VANTORIS\\%WINSYS%", "C:\\VANTORIS\\%WINSYS%"),
    ("C:\\windows\\syswow64", "C:\\windows\\syswow64",
     "%WINSYS%\\A.DRV", "C:\\windows\\syswow64\\A.DRV"),
    ("C:\\windows\\system32", "C:\\windows\\system32",
     "C:\\windows\\system32\\A.DRV", "C:\\windows\\system32\\A.DRV"),
]


def main():
    failures = link_failures() + program_failures() + verdict_failures()
    for seen, disk, path, expected in ON_DISK_CASES:
        got = on_disk(path, seen, disk)
        if got != expected:
            failures.append(f"on disk [{path} seeing {seen}]: {got}")
    for name, text, expected in EXPORT_CASES:
        got = regfile.parse(text)
        if got != expected:
            failures.append(f"export [{name}]: {got!r}")
    got = regfile.parse(regfile.regedit4(ROUND_TRIP))
    if got != ROUND_TRIP:
        failures.append(f"round trip: {got!r}")
    for name, report, expected in BOX_CASES:
        box = Box.parse(report)
        got = (box.title, box.buttons, box.icon, box.text, box.window,
               box.parts, box.text_area)
        if got != expected:
            failures.append(f"box [{name}]: {got!r}")
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
