"""Checks of the harness's own parsers, which need no Wine: registry
exports read back, REGEDIT4 text written, and boxhelper's box reports."""

import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "scripts", "e2e"))
import regfile  # noqa: E402
import wineenv  # noqa: E402
from machine import Box  # noqa: E402

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
     ("VANTORIS Uninstall", ("YES", "NO"), False, "Line\n\nAre you sure?")),
    ("text that looks like a header",
     b"title: T\nbuttons: OK\nicon: yes\ntext:\ntext:\nbuttons: NO",
     ("T", ("OK",), True, "text:\nbuttons: NO")),
    ("no buttons, empty text, code page 1252",
     b"title: Caf\xe9\nbuttons:\nicon: no\ntext:\n",
     ("Caf\u00e9", (), False, "")),
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


def main():
    failures = link_failures()
    for name, text, expected in EXPORT_CASES:
        got = regfile.parse(text)
        if got != expected:
            failures.append(f"export [{name}]: {got!r}")
    got = regfile.parse(regfile.regedit4(ROUND_TRIP))
    if got != ROUND_TRIP:
        failures.append(f"round trip: {got!r}")
    for name, report, expected in BOX_CASES:
        box = Box.parse(report)
        got = (box.title, box.buttons, box.icon, box.text)
        if got != expected:
            failures.append(f"box [{name}]: {got!r}")
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
