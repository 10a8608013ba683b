#!/usr/bin/env python3
"""Checks a built SELDUNAX.EXE (PE32 or PE32+) without any Windows tools.

  * subsystem Windows GUI (2);
  * imports from KERNEL32, USER32 and ADVAPI32 only (no C run-time DLL);
  * resources: nothing but icon group 101, holding one 32x32 image in
    16 colours (4 bits per pixel), and that one image.

    python3 scripts/check_exe.py path/to/SELDUNAX.EXE [...]

Prints what it found and exits with 1 when any check fails.
"""
import struct
import sys

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll"}
RT_ICON, RT_GROUP_ICON = 3, 14
ICON_GROUP_ID = 101
SUBSYSTEM_GUI = 2


class Image:
    def __init__(self, data):
        self.data = data
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        sections = self.u16(pe + 6)
        optional_size = self.u16(pe + 20)
        self.optional = pe + 24
        magic = self.u16(self.optional)
        self.pe32plus = magic == 0x20B
        self.subsystem = self.u16(self.optional + 68)
        self.directories = self.optional + (112 if self.pe32plus else 96)
        self.sections = []
        first = self.optional + optional_size
        for i in range(sections):
            at = first + 40 * i
            size, rva, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((rva, max(size, raw_size), raw))

    def u16(self, at):
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("RVA 0x%x outside every section" % rva)

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def cstring(self, at):
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def imported_dlls(self):
        rva, _ = self.directory(1)
        names, at = [], self.offset(rva)
        while True:
            name_rva = self.u32(at + 12)
            if name_rva == 0:
                return names
            names.append(self.cstring(self.offset(name_rva)))
            at += 20

    def resources(self):
        """{(type, name, language): bytes} with integer ids only."""
        rva, size = self.directory(2)
        if size == 0:
            return {}
        base = self.offset(rva)
        found = {}

        def walk(at, path):
            named, ids = self.u16(at + 12), self.u16(at + 14)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data,
                                                  at + 16 + 8 * i)
                key = ("named" if name & 0x80000000 else name,)
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), path + key)
                else:
                    data_rva, data_size = struct.unpack_from(
                        "<II", self.data, base + target)
                    start = self.offset(data_rva)
                    found[path + key] = self.data[start:start + data_size]

        walk(base, ())
        return found


def check_icon(resources, failures):
    kinds = {key[0] for key in resources}
    if kinds != {RT_ICON, RT_GROUP_ICON}:
        failures.append("resource types %s, want only icon and icon group"
                        % kinds)
    groups = [key for key in resources if key[0] == RT_GROUP_ICON]
    if [key[1] for key in groups] != [ICON_GROUP_ID]:
        failures.append("icon groups %s, want exactly [%d]"
                        % ([key[1] for key in groups], ICON_GROUP_ID))
        return
    group = resources[groups[0]]
    reserved, kind, count = struct.unpack_from("<HHH", group)
    if (reserved, kind, count) != (0, 1, 1):
        failures.append("icon group header %s, want one icon"
                        % ((reserved, kind, count),))
        return
    width, height, colours, _, planes, bits, size, icon_id = \
        struct.unpack_from("<BBBBHHIH", group, 6)
    print("icon group %d: %dx%d, %d colours, %d bpp, image id %d, %d bytes"
          % (ICON_GROUP_ID, width, height, colours, bits, icon_id, size))
    if (width, height, colours, bits) != (32, 32, 16, 4):
        failures.append("group entry %s, want 32x32 16 colours 4 bpp"
                        % ((width, height, colours, bits),))
    icons = [key for key in resources if key[0] == RT_ICON]
    if [key[1] for key in icons] != [icon_id]:
        failures.append("icon images %s, want exactly [%d]"
                        % ([key[1] for key in icons], icon_id))
        return
    image = resources[icons[0]]
    header = struct.unpack_from("<IiiHH", image)
    if header != (40, 32, 64, 1, 4):
        failures.append("icon bitmap header %s, want 40 32 64 1 4"
                        % (header,))
    if len(image) != 40 + 16 * 4 + 32 * 16 + 32 * 4:
        failures.append("icon image of %d bytes, want 744" % len(image))


def check(path):
    with open(path, "rb") as f:
        image = Image(f.read())
    failures = []
    print("%s: %s, %d bytes, subsystem %d" % (
        path, "PE32+" if image.pe32plus else "PE32", len(image.data),
        image.subsystem))
    if image.subsystem != SUBSYSTEM_GUI:
        failures.append("subsystem %d, want 2 (Windows GUI)"
                        % image.subsystem)
    dlls = image.imported_dlls()
    print("imports: " + ", ".join(dlls))
    extra = [d for d in dlls if d.lower() not in ALLOWED_DLLS]
    if extra:
        failures.append("unexpected imports: " + ", ".join(extra))
    check_icon(image.resources(), failures)
    for failure in failures:
        print("FAIL: " + failure)
    return not failures


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    results = [check(path) for path in sys.argv[1:]]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
