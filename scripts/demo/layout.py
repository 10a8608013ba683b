"""The card's machine (e2e/card.py) completed from a control file's plan,
so that every step the file asks for finds something to act on: what the
plan names and the machine lacks is laid out, nothing the machine has is
changed. On the example control file it adds nothing: that machine is the
demo's.

What is laid out, where the program under test finds it (lying, as for
asked.py, but keeping letter case):
  remove-devices   a device key named as the id, with an instance whose
                   driver key below Class\\MEDIA is there too
  copy             the source (the saved file) and the target it replaces
  delete           the file
  delete-matching  two files the mask matches and one it does not, when it
                   matches nothing in the directory
  delete-tree      the directory, when it is missing or empty, with a file
                   and a subdirectory in it
  delete-key       the key with a value and a subkey
  delete-value     the value, in its key
  dos-word         in AUTOEXEC.BAT and DOSSTART.BAT, a PATH entry and a
                   line holding the word, after the user's own lines
Paths off drive C: are left out (the report's plan still names them)."""

import fnmatch
import re

from demo import asked
from e2e import card, snapshot

# Names of the files laid out for a pattern: '*' becomes a letter of
# these, '?' a digit.
_MATCHING = ("A", "B")
_NOT_MATCHING = ("KEEP.TXT", "OTHER.DAT", "README")
# Driver keys of laid-out devices: below the card machine's MEDIA\0005.
_FIRST_DRIVER = 0x100


def _log(msg):
    print(f"[demo] {msg}", flush=True)


def _name_from_mask(mask, letter):
    return mask.replace("*", letter).replace("?", "1")


def _device_keys(rows, registry):
    """{key: values} of the device and driver keys of the remove-devices
    ids that no device key of registry begins with (letter case counts)."""
    devices = [k[len(card.ISAPNP) + 1:].split("\\")[0] for k in registry
               if k.startswith(card.ISAPNP + "\\")]
    keys = {}
    number = _FIRST_DRIVER
    for row in rows:
        if row.action != "remove-devices" or "\\" in row.target:
            continue
        if any(d.startswith(row.target) for d in devices):
            continue
        driver = f"MEDIA\\{number:04X}"
        number += 1
        keys[f"{card.ISAPNP}\\{row.target}\\0A1B2C3D"] = {
            "DeviceDesc": f"the device {row.target}", "Class": "MEDIA",
            "Driver": driver, "HardwareID": f"ISAPNP\\{row.target}"}
        keys[f"{card.CLASS}\\{driver}"] = {
            "DriverDesc": f"the driver of {row.target}"}
        keys[f"{card.CLASS}\\{driver}\\Drivers"] = {"DevNode": bytes(4)}
    return keys


def _registry_keys(rows, known, lying_key):
    """{key: values} of the delete-key and delete-value targets that the
    laid-out registry (known, lower-case keys) lacks. A key is there when a
    key below it is: importing that made it."""
    keys = {}
    for row in rows:
        if row.action == "delete-key":
            key = lying_key(row.target)
            if not any(snapshot.below(k, key) for k in known):
                keys[key] = {"Version": "1.0"}
                keys[key + "\\Settings"] = {"Volume": 7}
        elif row.action == "delete-value":
            key, name = asked.split_value(row.target)
            key = lying_key(key)
            if name.lower() not in known.get(key.lower(), {}):
                keys.setdefault(key, {})[name] = "C:\\VANTORIS\\TRAY.EXE"
    return keys


def _on_drive_c(path):
    return path[:3].upper() == "C:\\"


def _files(rows, lying, exists, listing):
    """{path: bytes} of the files the file-list rows ask for that are not
    there (exists(path) tells; listing(directory) gives the names in a
    directory)."""
    files = {}
    there = lambda path: _on_drive_c(path) and exists(path)  # noqa: E731

    def names_in(directory):
        try:
            return listing(directory) if there(directory) else []
        except NotADirectoryError:
            return []

    def add(path, data):
        if not _on_drive_c(path):
            _log(f"not laid out (not on drive C:): {path}")
        elif not there(path):
            files[path] = data
    for row in rows:
        target = lying(row.target)
        if row.action == "copy":
            add(lying(row.source), b"the file as it was before the card")
            add(target, b"the card's version of the file")
        elif row.action == "delete":
            add(target, b"MZ a file of the card")
        elif row.action == "delete-matching":
            directory, _, mask = target.rpartition("\\")
            if any(fnmatch.fnmatch(n.lower(), mask.lower())
                   for n in names_in(directory)):
                continue
            names = [_name_from_mask(mask, letter) for letter in _MATCHING]
            for name in names:
                add(directory + "\\" + name, b"a file the pattern matches")
            other = next((n for n in _NOT_MATCHING
                          if not fnmatch.fnmatch(n.lower(), mask.lower())),
                         None)
            if other:
                add(directory + "\\" + other, b"a file the pattern passes by")
        elif row.action == "delete-tree" and not names_in(target):
            add(target + "\\README.TXT", b"a file of the card's directory")
            add(target + "\\DATA\\SETTINGS.DAT", b"a file below it")
    return files


def _dos_lines(word):
    """A PATH line with an entry holding word, and a line holding it."""
    entry = word if ("\\" in word or ":" in word) else "C:\\" + word
    line = (f"{entry}\\INIT.EXE /Q" if entry == word else
            f"SET {word}=A220 I7 D1" if re.fullmatch(r"\w+", word) else
            f"C:\\DRIVERS\\INIT.EXE {word} /Q")
    return [f"SET PATH=%PATH%;{entry}", line]


def _start_files(rows, texts):
    """{path: text} of the start-up files cleaned of [dosclean] words with
    the words' lines added after the user's own."""
    words = [row.target for row in rows if row.action == "dos-word"]
    changed = {}
    for path in card.START_FILES_CLEANED if words else ():
        lines = texts[path].splitlines()
        for word in words:
            lines += _dos_lines(word)
        changed[path] = "\n".join(lines) + "\n"
    return changed


def complete(m, rows, lying, lying_key):
    """Lays out on the machine m, laid out by card.install_card, what the
    plan rows name and it lacks; lying and lying_key name where a path and
    a key of the plan lie (letter case kept). Returns what was added, as
    lines for the report."""
    known = {k.lower(): {n.lower() for n in v}
             for k, v in card.REGISTRY.items()}
    known.update({k.lower(): {n.lower() for n in v} for k, v in
                  card.software_keys(m.software_key).items()})
    keys = _device_keys(rows, card.REGISTRY)
    keys.update(_registry_keys(rows, known, lying_key))
    files = _files(rows, lying, m.exists, m.listdir)
    texts = _start_files(rows, {p: m.read_text(p)
                                for p in card.START_FILES_CLEANED})
    for path, data in files.items():
        m.write(path, data)
    for path, text in texts.items():
        m.write(path, text)
    if keys:
        m.import_reg(keys)
    added = ([f"file {p}" for p in files] + [f"key {k}" for k in keys]
             + [f"lines of [dosclean] words in {p}" for p in texts])
    for line in added:
        _log(f"laid out for the control file: {line}")
    return added


