"""What a full uninstall was asked to change: the checker's plan of the
control file (seldchk --plan=tsv), which names every step as the program
under test will, matched on the machine as it was before the run. The
demo's verdict holds every change of the run against it.

The plan cannot say everything the verdict needs: RULES say the rest,
each the smallest that does.

Paths here are lower-case Windows paths of where the files lie, as the
snapshots name them; lying(path) gives that of a path the program names,
lying_key(key) that of a registry key (key_lying)."""

import collections
import fnmatch
import ntpath
import subprocess

from e2e import snapshot

RULES = [
    "a delete-matching pattern is matched on the machine before the run: "
    "the files directly in its directory whose names match its mask (* and "
    "?, any letter case)",
    "a remove-devices id is matched on the machine before the run: the "
    "device keys below ISAPNP whose names begin with it (letter case "
    "counts) and the driver keys their instances' \"Driver\" values name, "
    "each with every key below it",
    "an edited start-up file may change; how, the start-up files' diffs "
    "show",
    "a relative path starts from the directory the program runs in",
    "a path below the English name of a shared folder in the Windows "
    "directory (Start Menu, Start Menu\\Programs, its StartUp, Desktop), "
    "as the checker names the folder macros where it reads no Shell "
    "Folders, lies below the folder the machine's Shell Folders name (Wine "
    "points Desktop at a folder of its own at every start)",
    "a registry key of the plan is named as the program sees it: its "
    "HKEY_LOCAL_MACHINE\\SOFTWARE is Software\\Wow6432Node for a 32-bit "
    "program; a delete-key goes with every key below it, a delete-value "
    "takes that one value (the name after the last comma, any letter case) "
    "from its key",
    "outside the plan: the hand-over (started in its install directory, "
    "the program copies itself, its control file and DEVEJECT.EXE into "
    "the temporary directory) and WININIT.INI in the Windows directory, "
    "where it enters the files it cannot delete",
]

# One line of the plan (docs/control-file.md, "The plan as a table").
Row = collections.namedtuple("Row", "step action target source key line")


def parse_plan(text):
    """The rows of a plan table; fields past the sixth are left out."""
    rows = []
    for line in text.splitlines():
        fields = line.split("\t")
        if len(fields) < len(Row._fields):
            raise ValueError(f"not a line of the plan: {line!r}")
        rows.append(Row(*fields[:len(Row._fields)]))
    return rows


def read_plan(checker, control, windows_dir, system_dir, cwd):
    """(rows, findings) of the native checker's plan of the control file
    (a host path), with the Windows and system directories and the current
    directory that the program under test sees."""
    done = subprocess.run(
        [checker, "--plan=tsv", "--windir", windows_dir, "--winsys",
         system_dir, "--cwd", cwd, control], capture_output=True,
        encoding="cp1252", errors="replace", timeout=60)
    if done.returncode not in (0, 1, 2) or not done.stdout:
        raise RuntimeError(f"{checker} --plan=tsv {control} gave no plan "
                           f"(exit code {done.returncode}): {done.stderr}")
    return parse_plan(done.stdout), done.stderr.splitlines()


class Allowed:
    """What the run may remove, add and change: sets of lower-case paths,
    registry keys (lower case) it may remove, the values it may take from
    a key, and why."""

    def __init__(self):
        self.remove = set()
        self.add = set()
        self.change = set()
        self.keys = set()
        self.values = {}  # lower-case key: lower-case value names
        self.reasons = {}  # lower-case path or key: why it may go or change

    def may_remove(self, path, reason):
        self.remove.add(path)
        self.reasons.setdefault(path, reason)

    def may_change(self, path, reason):
        self.change.add(path)
        self.reasons.setdefault(path, reason)

    def may_write(self, path, before_tree, reason):
        """path may be added, or changed when it was there before."""
        if path in before_tree:
            self.may_change(path, reason)
        else:
            self.add.add(path)
            self.reasons.setdefault(path, reason)


def reason(row):
    """Why a row lets a path change: the step and where it comes from."""
    what = (f"{row.action} from {row.source}" if row.source
            else f"{row.action} {row.target}")
    return what + (f", line {row.line}" if row.line else f", step {row.step}")


def matching(pattern, before_tree):
    """The files directly in the pattern's directory that its mask
    matches."""
    directory, _, mask = pattern.rpartition("\\")
    return [path for path, entry in before_tree.items()
            if entry.kind == "file" and snapshot.directly_in(path, directory)
            and fnmatch.fnmatchcase(path.rpartition("\\")[2], mask)]


ROOTS = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER"}


def key_lying(software="HKEY_LOCAL_MACHINE\\Software"):
    """lying_key() of a machine: a registry key as the plan names it (its
    root HKLM or HKCU) as the snapshots name it, HKEY_LOCAL_MACHINE\\SOFTWARE
    where the program under test sees it (software, see
    Machine.software_key); letter case kept where the plan's is."""
    def lying(key):
        root, _, rest = key.partition("\\")
        full = ROOTS.get(root.upper(), root) + ("\\" + rest if rest else "")
        top = "HKEY_LOCAL_MACHINE\\SOFTWARE"
        if snapshot.below(full.lower(), top.lower()):
            full = software + full[len(top):]
        return full
    return lying


def split_value(target):
    """(key, value name) of a delete-value target: split at the last
    comma."""
    key, _, name = target.rpartition(",")
    return key, name


def allowed_changes(rows, before_tree, before_keys, lying, isapnp,
                    class_root, lying_key=key_lying()):
    """The Allowed of a full uninstall with the plan rows, on a machine
    whose files and registry keys were before_tree and before_keys;
    lying(path) is where a path the program names lies (lower case),
    lying_key(key) where a registry key of the plan lies."""
    allowed = Allowed()
    ids = []
    for row in rows:
        target = lying(row.target)
        if row.action == "remove-devices":
            ids.append(row.target)
        elif row.action in ("copy", "copy-if-missing"):
            allowed.may_write(target, before_tree, reason(row))
        elif row.action == "edit":
            allowed.may_change(target, reason(row))
        elif row.action == "delete":
            allowed.may_remove(target, reason(row))
        elif row.action == "delete-matching":
            for path in matching(target, before_tree):
                allowed.may_remove(path, reason(row))
        elif row.action == "delete-tree":
            for path in before_tree:
                if snapshot.below(path, target):
                    allowed.may_remove(path, reason(row))
        elif row.action == "delete-key":
            top = lying_key(row.target).lower()
            for key in before_keys:
                if snapshot.below(key.lower(), top):
                    allowed.keys.add(key.lower())
                    allowed.reasons.setdefault(key.lower(), reason(row))
        elif row.action == "delete-value":
            key, name = split_value(row.target)
            key = lying_key(key).lower()
            allowed.values.setdefault(key, set()).add(name.lower())
            allowed.reasons.setdefault(key, reason(row))
        elif row.action == "dos-word":
            pass  # the start-up files' edit rows let them change
        else:
            raise ValueError(f"the plan has an action the demo does not "
                             f"know: {row}")
    allowed.keys |= card_keys(ids, before_keys, isapnp, class_root)
    return allowed


def allow_outside_plan(allowed, before_tree, windows_dir, temp_dir):
    """The hand-over copies and WININIT.INI (lower-case paths of the
    Windows and temporary directories)."""
    allowed.may_write(windows_dir + "\\wininit.ini", before_tree,
                      "files to delete at the next start (outside the plan)")
    for name in ("seldunax.exe", "seldunax.ini", "deveject.exe"):
        allowed.may_write(temp_dir + "\\" + name, before_tree,
                          "hand-over copy (outside the plan)")


# The shared folders the folder macros stand for, by their Shell Folders
# value names, and their English names below the Windows directory, which
# the checker names where it reads no Shell Folders (its host has none).
FOLDERS = {"Start Menu": "Start Menu", "Programs": "Start Menu\\Programs",
           "StartUp": "Start Menu\\Programs\\StartUp",
           "Desktop": "Desktop"}


def placing_in(cwd, on_disk, windows_dir, shell_folders):
    """Where a path the program names lies on a machine, letter case kept:
    relative ones from its current directory cwd, one below a shared
    folder's English name in windows_dir below the folder the machine's
    Shell Folders ({value name: folder}) give, the rest where on_disk puts
    it."""
    moved = sorted(((windows_dir + "\\" + english).lower(),
                    shell_folders[name])
                   for name, english in FOLDERS.items()
                   if name in shell_folders)

    def place(path):
        path = ntpath.join(cwd, path)
        for english, folder in reversed(moved):  # the longest first
            if snapshot.below(path.lower(), english):
                path = folder + path[len(english):]
                break
        return on_disk(path)
    return place


def lying_in(cwd, on_disk, windows_dir="", shell_folders=None):
    """lying() of a machine (see placing_in), in lower case."""
    place = placing_in(cwd, on_disk, windows_dir, shell_folders or {})
    return lambda path: place(path).lower()


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
    """What the run did that it was not asked to: lists of (what, path)
    for removed, added and changed files and registry keys outside
    allowed."""
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
        before, after = registry_diff.values(key)
        names = allowed.values.get(key.lower(), set())
        if after != {n: v for n, v in before.items()
                     if n.lower() not in names}:
            found.append(("values changed", key))
    return found
