"""What a full uninstall was asked to remove and left: the other half of
the demo's verdict (asked.unasked is the first). A file the plan lets go
that is still there after the run and not entered in WININIT.INI (nor,
for a directory, anything below it), a registry key or value of the plan
or of a listed id still there after the restart, a line of a start-up file
that still holds one of the plan's dos-words, a copy's target that does
not hold what its source held: each is named.

Paths and keys are lower case, as asked.Allowed holds them."""

from demo import asked
from e2e import snapshot


def files_left(allowed, after_tree, wininit_entries):
    """[(path as stored, why it should have gone)] of the files and
    directories allowed to go that stay without a WININIT.INI entry for
    them or, for a directory, for anything below it."""
    waiting = set(wininit_entries)
    left = []
    for path in sorted(allowed.remove):
        if path not in after_tree:
            continue
        if any(snapshot.below(entry, path) for entry in waiting):
            continue
        left.append((after_tree[path].path, allowed.reasons[path]))
    return left


def keys_left(allowed, after_keys):
    """[(key or "key,value", why it should have gone)] of the registry keys
    and values allowed to go that stay."""
    after = {k.lower(): (k, v) for k, v in after_keys.items()}
    left = [(after[key][0], allowed.reasons.get(key, "a listed id's key"))
            for key in sorted(allowed.keys) if key in after]
    for key, names in sorted(allowed.values.items()):
        if key not in after:
            continue
        stored, values = after[key]
        for name in sorted(n for n in values if n.lower() in names):
            left.append((f"{stored},{name}", allowed.reasons[key]))
    return left


def lines_left(rows, start_texts):
    """[(file, line, the dos-word row's reason)] of the lines of the
    start-up files ({path: text or None}) that still hold a dos-word of
    the plan (any letter case)."""
    words = [row for row in rows if row.action == "dos-word"]
    left = []
    for path, text in start_texts.items():
        for line in (text or "").splitlines():
            for row in words:
                if row.target.lower() in line.lower():
                    left.append((path, line, asked.reason(row)))
    return left


def copies_left(rows, lying, before_tree, after_tree):
    """[(target, why)] of the copy rows whose source was a file before the
    run and whose target is not a file with its content after it."""
    left = []
    for row in rows:
        source = before_tree.get(lying(row.source))
        if row.action != "copy" or source is None or source.kind != "file":
            continue
        target = after_tree.get(lying(row.target))
        if target is None or target.kind != "file" or not target.same(source):
            left.append((target.path if target else row.target,
                         f"not a copy of {source.path} ({asked.reason(row)})"))
    return left


def problems(left_files, left_keys, left_lines, left_copies):
    """The verdict's lines for what was asked for and left."""
    return ([f"asked to be replaced, is not: {p}: {why}"
             for p, why in left_copies] + [f"asked to go, still there without a WININIT.INI entry: {p} "
             f"({why})" for p, why in left_files]
            + [f"asked to go, still there: {k} ({why})"
               for k, why in left_keys]
            + [f"a line still holding its word in {path}: {line} ({why})"
               for path, line, why in left_lines])
