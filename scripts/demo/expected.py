"""What a full uninstall may change on a machine, worked out from the
control file and the machine as it was before the run, independently of
the program: the demo's verdict holds every change of the run against it.

All paths here are lower-case Windows paths, as snapshot.tree gives them."""

import fnmatch

from demo import snapshot


def read_ini(text):
    """{section: {key: value}} as the system's INI reader sees the file:
    section and key names in lower case, blanks around keys and values
    dropped, a value in matching quotes without them, ";" lines ignored,
    the first of two equal keys winning."""
    sections = {}
    current = None
    for raw in text.replace("\r", "\n").split("\n"):
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            name = line[1:].split("]", 1)[0].strip().lower()
            current = sections.setdefault(name, {})
            continue
        if current is None or "=" not in line:
            continue
        key, value = (part.strip() for part in line.split("=", 1))
        if len(value) >= 2 and value[0] == value[-1] and value[0] in "\"'":
            value = value[1:-1]
        current.setdefault(key.lower(), value)
    return sections


def numbered(section, prefix=""):
    """The values of keys prefix1, prefix2, ... up to the first missing or
    empty one."""
    values = []
    n = 1
    while section.get(f"{prefix}{n}".lower(), ""):
        values.append(section[f"{prefix}{n}".lower()])
        n += 1
    return values


class Machine:
    """The directories a run sees: the Windows and system directories and
    the temporary directory, as Windows paths."""

    def __init__(self, windows_dir, system_dir, temp_dir):
        self.windows_dir = windows_dir
        self.system_dir = system_dir
        self.temp_dir = temp_dir

    def expand(self, value):
        """A path value with its leading %WINDIR% or %WINSYS% (capitals
        only) replaced."""
        for macro, directory in (("%WINDIR%", self.windows_dir),
                                 ("%WINSYS%", self.system_dir)):
            if value.startswith(macro):
                return directory + value[len(macro):]
        return value


class Allowed:
    """What the run may remove, add and change: sets of lower-case paths,
    and registry keys (lower case) it may remove."""

    def __init__(self):
        self.remove = set()
        self.add = set()
        self.change = set()
        self.keys = set()
        self.reasons = {}  # lower-case path or key: why it may go

    def may_remove(self, path, reason):
        self.remove.add(path)
        self.reasons.setdefault(path, reason)

    def may_write(self, path, before_tree, reason):
        """path may be added, or changed when it was there before."""
        (self.change if path in before_tree else self.add).add(path)
        self.reasons.setdefault(path, reason)


def allowed_changes(ini_text, machine, before_tree, before_keys,
                    isapnp, class_root):
    """The Allowed of a full uninstall with this control file, started from
    the install directory (so with the hand-over to the temporary
    directory), on a machine whose files and registry keys were
    before_tree and before_keys."""
    ini = read_ini(ini_text)
    allowed = Allowed()
    low = str.lower

    copy = ini.get("copy", {})
    n = 1
    while copy.get(f"from{n}") and copy.get(f"to{n}"):
        allowed.may_write(low(machine.expand(copy[f"to{n}"])), before_tree,
                          f"[copy] from {copy[f'from{n}']}")
        n += 1
    for value in numbered(ini.get("delete", {})):
        allowed.may_remove(low(machine.expand(value)), "[delete]")
    for value in numbered(ini.get("multdel", {})):
        pattern = low(machine.expand(value))
        directory, _, mask = pattern.rpartition("\\")
        for path, entry in before_tree.items():
            if (entry.kind == "file" and snapshot.directly_in(path, directory)
                    and fnmatch.fnmatchcase(path.rpartition("\\")[2], mask)):
                allowed.may_remove(path, f"[multdel] {value}")
    for value in numbered(ini.get("deltree", {})):
        top = low(machine.expand(value))
        for path in before_tree:
            if snapshot.below(path, top):
                allowed.may_remove(path, f"[deltree] {value}")

    windows = low(machine.windows_dir)
    for path, reason in (
            ("c:\\autoexec.bat", "the card's lines taken out"),
            (windows + "\\dosstart.bat", "the card's lines taken out"),
            ("c:\\config.sys", "EMM386.EXE loaded from the Windows directory")):
        allowed.change.add(path)
        allowed.reasons[path] = reason
    allowed.may_write(windows + "\\wininit.ini", before_tree,
                      "files to delete at the next start")
    allowed.may_write(windows + "\\emm386.exe", before_tree,
                      "memory manager put back")
    temp = low(machine.temp_dir)
    for name in ("seldunax.exe", "seldunax.ini", "deveject.exe"):
        allowed.may_write(temp + "\\" + name, before_tree,
                          "hand-over copy")

    ids = [i[:24] for i in numbered(ini.get("pnpids", {}))]
    allowed.keys = card_keys(ids, before_keys, isapnp, class_root)
    return allowed


def card_keys(ids, keys, isapnp, class_root):
    """Lower-case registry keys that go with the devices below isapnp
    whose names begin with one of ids (letter case counts), with the
    class driver keys their instances' "Driver" values name."""
    prefix = isapnp.lower() + "\\"
    devices = set()
    for key in keys:
        if not key.lower().startswith(prefix):
            continue
        device = key[len(prefix):].split("\\")[0]
        if any(device.startswith(i) for i in ids):
            devices.add(prefix + device.lower())
    drivers = set()
    for key, values in keys.items():
        low = key.lower()
        if low.rpartition("\\")[0] in devices and "Driver" in values:
            drivers.add(class_root.lower() + "\\" + values["Driver"].lower())
    tops = devices | drivers
    return {k.lower() for k in keys
            if any(snapshot.below(k.lower(), top) for top in tops)}


def unasked(tree_diff, registry_diff, allowed):
    """What the run did that the control file did not ask for: lists of
    (what, path) for removed, added and changed files and registry keys
    outside allowed."""
    found = []
    for entry in tree_diff.removed:
        if entry.path.lower() not in allowed.remove:
            found.append(("file removed", entry.path))
    for entry in tree_diff.added:
        if entry.path.lower() not in allowed.add:
            found.append(("file added", entry.path))
    for entry in tree_diff.changed:
        if entry.path.lower() not in allowed.change:
            found.append(("file changed", entry.path))
    for key in registry_diff.removed:
        if key.lower() not in allowed.keys:
            found.append(("key removed", key))
    for key in registry_diff.added:
        found.append(("key added", key))
    for key in registry_diff.changed:
        found.append(("values changed", key))
    return found
