"""Snapshots of a machine, and what changed between two of them: the
demo's report and the full-story scenario compare the machine before and
after a run with them.

A file snapshot maps every path of drive C: (lower case, Windows form) to
an Entry; a registry snapshot maps every key below the roots taken (as
regedit exports it, letter case kept) to its values."""

import hashlib
import os


class Entry:
    """One path of a tree snapshot: its kind ("dir", "file", "link"), its
    name as stored (letter case kept), and for files the size and either a
    digest of the content or, for large files outside the watched
    directories, the modification time."""

    def __init__(self, kind, path, size=0, stamp=None):
        self.kind = kind
        self.path = path
        self.size = size
        self.stamp = stamp

    def same(self, other):
        return (self.kind, self.size, self.stamp) == (other.kind, other.size,
                                                      other.stamp)


# Files up to this size are compared by content wherever they are.
_DIGEST_LIMIT = 1 << 20


def _stamp(path, stat, watched):
    if watched or stat.st_size <= _DIGEST_LIMIT:
        with open(path, "rb") as f:
            return hashlib.sha1(f.read()).hexdigest()
    return f"mtime {stat.st_mtime_ns}"


def tree(drive_c, watched):
    """{lower-case Windows path: Entry} of every path below drive_c (the
    host directory of C:); watched(path) tells whether a lower-case path
    lies in the directories watched, whose files are always compared by
    content. Symbolic links (Wine's links to the host's home) are not
    followed."""
    found = {}
    for dirpath, dirnames, filenames in os.walk(drive_c):
        rel = os.path.relpath(dirpath, drive_c)
        base = "C:" if rel == "." else "C:\\" + rel.replace("/", "\\")
        for name in dirnames + filenames:
            host = os.path.join(dirpath, name)
            path = base + "\\" + name
            key = path.lower()
            if os.path.islink(host):
                found[key] = Entry("link", path, stamp=os.readlink(host))
            elif os.path.isdir(host):
                found[key] = Entry("dir", path)
            else:
                stat = os.stat(host)
                found[key] = Entry("file", path, stat.st_size,
                                   _stamp(host, stat, watched(key)))
    return found


def drive_c(m, watched=lambda path: True):
    """The tree snapshot of the machine m's drive C: (see tree)."""
    return tree(os.path.join(m.prefix, "drive_c"), watched)


def registry(m, roots=("HKEY_LOCAL_MACHINE",)):
    """The registry snapshot of the keys below roots on the machine m."""
    keys = {}
    for root in roots:
        # Right after a restart, regedit has once been seen to write no
        # file for a root that is there: asked again, it did.
        exported = m.export_reg(root) or m.export_reg(root)
        if not exported:
            raise RuntimeError(f"regedit exported nothing of {root}")
        keys.update(exported)
    return keys


class TreeDiff:
    """What changed between two tree snapshots: lists of Entry, sorted by
    path (removed ones as they were, added and changed ones as they are)."""

    def __init__(self, before, after):
        self.removed = [before[k] for k in sorted(set(before) - set(after))]
        self.added = [after[k] for k in sorted(set(after) - set(before))]
        self.changed = [after[k] for k in sorted(set(before) & set(after))
                        if not before[k].same(after[k])]

    def only(self, keep):
        """A copy holding the entries whose lower-case path keep() accepts."""
        part = TreeDiff({}, {})
        part.removed = [e for e in self.removed if keep(e.path.lower())]
        part.added = [e for e in self.added if keep(e.path.lower())]
        part.changed = [e for e in self.changed if keep(e.path.lower())]
        return part

    def empty(self):
        return not (self.removed or self.added or self.changed)


class RegistryDiff:
    """What changed between two registry snapshots: keys removed (with the
    values they had), keys added, and keys whose values changed (values()
    gives a key's values on both sides)."""

    def __init__(self, before, after):
        low_before = {k.lower(): k for k in before}
        low_after = {k.lower(): k for k in after}
        self.removed = [low_before[k] for k in
                        sorted(set(low_before) - set(low_after))]
        self.added = [low_after[k] for k in
                      sorted(set(low_after) - set(low_before))]
        self.changed = [low_after[k] for k in
                        sorted(set(low_before) & set(low_after))
                        if before[low_before[k]] != after[low_after[k]]]
        self.before = before
        self.after = after

    def values(self, key):
        """({name: value} before, {name: value} after) of a key, any letter
        case; {} on the side where the key is not."""
        def of(keys):
            return next((v for k, v in keys.items()
                         if k.lower() == key.lower()), {})
        return of(self.before), of(self.after)

    def only(self, keep):
        """A copy holding the keys whose lower-case path keep() accepts."""
        part = RegistryDiff({}, {})
        part.removed = [k for k in self.removed if keep(k.lower())]
        part.added = [k for k in self.added if keep(k.lower())]
        part.changed = [k for k in self.changed if keep(k.lower())]
        part.before, part.after = self.before, self.after
        return part

    def without(self, other):
        """A copy without what other did too: the keys other also removed,
        also added, also changed (whatever the values it wrote, which may
        hold the time of writing)."""
        part = RegistryDiff({}, {})
        for kind in ("removed", "added", "changed"):
            theirs = {k.lower() for k in getattr(other, kind)}
            setattr(part, kind, [k for k in getattr(self, kind)
                                 if k.lower() not in theirs])
        part.before, part.after = self.before, self.after
        return part

    def empty(self):
        return not (self.removed or self.added or self.changed)


def below(path, top):
    """Whether the lower-case path is top or lies below it."""
    top = top.lower().rstrip("\\")
    return path == top or path.startswith(top + "\\")


def directly_in(path, directory):
    """Whether the lower-case path names an entry of directory itself."""
    directory = directory.lower().rstrip("\\")
    return (path.startswith(directory + "\\")
            and "\\" not in path[len(directory) + 1:])
