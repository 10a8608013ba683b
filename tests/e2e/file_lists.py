"""The wildcard and tree-removal lists on Wine's file system: a pattern
written with "/", directory links inside a tree that is removed, what the
platform layer does with such links (platform_probe.exe links), and the
spellings of a second drive's root that Wine reads past the system's own
checks of a path (the NT namespace "\\??\\", device paths, a trailing
blank).

Every link made here stays inside the prefix's drive_c and points to a
directory there: a tree removal that followed it can only reach files of
this scenario's own prefix.

What Wine 8.0 does with a host symbolic link to a directory (measured):
FindFirstFileA lists it with attributes 0x410 and no reparse tag
(dwReserved0 0); GetFileAttributesA gives 0x410 too; a search inside it
lists the directory it points to. RemoveDirectoryA on the link removes the
directory it points to when that is empty (the link stays, dangling) and
fails with ERROR_DIR_NOT_EMPTY otherwise; DeleteFileA on it fails with
ERROR_ACCESS_DENIED; CreateFileA with FILE_FLAG_OPEN_REPARSE_POINT opens
the directory it points to; CreateSymbolicLinkA makes nothing and says it
did. A symbolic link to a file is listed as a plain file (0x20) and
DeleteFileA on it deletes the file it points to; a dangling link is not
listed at all. So the platform layer never hands a link (0x400) to
RemoveDirectoryA: the link stays, and so does the directory above it."""

import os
import shutil
import sys

from e2e import scenario, wineenv
import texts

DISK = "C:\\DISK"
PLAIN = {"pnpids": {"1": "VNT9999"}}


def uninstall(m, lists, closing=lambda m: texts.REBOOT_NOW):
    """A full uninstall from C:\\DISK with the given lists, answered Yes;
    closing(m) gives the closing message expected of the machine it left."""
    m.install_program(DISK)
    m.write_ini(DISK + "\\SELDUNAX.INI", dict(PLAIN, **lists))
    result = m.run(DISK, ["SELDUNAX.INI"], answers=["yes", "ok"])
    m.finish()
    scenario.expect_run(result, 0, [(texts.CONFIRM_FULL, "YES NO"),
                                    (closing(m), "OK")])


def expect_files(m, files, present):
    wrong = [path for path in files if m.exists(path) != present]
    if wrong:
        state = "missing" if present else "still there"
        raise AssertionError(f"{state}: {wrong}")


def add_drive_d(m, files):
    """Drive D: of the machine: the directory drive_d inside its prefix
    (never a host directory), holding files {path below D:\\: data}."""
    root = os.path.join(m.prefix, "drive_d")
    os.makedirs(root)
    os.symlink("../drive_d", os.path.join(m.prefix, "dosdevices", "d:"))
    for path, data in files.items():
        host = os.path.join(root, *path.split("\\"))
        os.makedirs(os.path.dirname(host), exist_ok=True)
        with open(host, "wb") as f:
            f.write(data)
    return root


def files_below(root):
    return sorted(os.path.relpath(os.path.join(d, n), root)
                  for d, _, names in os.walk(root) for n in names)


# The root of D: (files only: a directory met first would end a [multdel]
# pattern before any file) and a file the card left there.
D_ROOT_FILES = {"KEEP1.TXT": b"one", "KEEP2.DLL": b"two", "KEEP3.INI": b"3"}
D_CARD_FILES = {"VNTA.DLL": b"card"}


@scenario.scenario()
def drive_root_spellings_leave_it(m):
    """The root of D: in the NT namespace, as a device path and with a
    trailing blank after "*.*": every file there stays; the card's own
    file on D: still goes."""
    root = add_drive_d(m, dict(D_ROOT_FILES, **D_CARD_FILES))
    multdel = ["\\??\\D:\\*.*", '"D:\\*.* "', "\\\\?\\D:\\*.*",
               "\\\\.\\D:\\*.*", "D:\\*.*"]
    deltree = ["D:\\", "\\??\\D:", "\\??\\D:\\", "\\\\?\\D:\\", "D:"]
    # Every value passed over is named in the closing box as kept, as read
    # (quotes dropped); the card's own pattern is not.
    kept = ["Kept: " + value.strip('"') for value in multdel + deltree]
    uninstall(m, {"multdel": multdel + ["D:\\VNT*.DLL"], "deltree": deltree},
              closing=lambda m: texts.closing_not_done(kept))
    scenario.expect_equal(files_below(root), sorted(D_ROOT_FILES),
                          "files on D:")


@scenario.scenario()
def wildcard_pattern_with_slash(m):
    """C:\\AUD\\S\\WIN/OLD*.DRV: the matches in C:\\AUD\\S\\WIN go; their
    namesakes in C:\\AUD\\S stay."""
    inside = ["C:\\AUD\\S\\WIN\\OLD1.DRV", "C:\\AUD\\S\\WIN\\OLD2.DRV"]
    namesakes = ["C:\\AUD\\S\\OLD1.DRV", "C:\\AUD\\S\\OLD2.DRV"]
    others = ["C:\\AUD\\S\\WIN\\NEW.DRV", "C:\\AUD\\S\\OLDX.DRV"]
    for path in inside + namesakes + others:
        m.write(path, b"driver")
    uninstall(m, {"multdel": ["C:\\AUD\\S\\WIN/OLD*.DRV"]})
    expect_files(m, inside, False)
    expect_files(m, namesakes + others, True)


# Directories the links point to, with what they hold; all outside the
# trees named in [deltree].
TARGETS = {
    "C:\\SHARED": {"KEEP.TXT": b"shared", "DEEP\\KEEP.TXT": b"deep"},
    "C:\\EMPTYDIR": {},
    "C:\\ELSEWHERE": {"KEEP.TXT": b"elsewhere"},
    "C:\\EMPTYTOO": {},
}
# Links in a subdirectory of a tree, alone in a tree (so that no failure
# before it can spare it, whatever order the search gives), and as the named
# directory itself; to directories with files and to empty ones, which a
# removal that followed the link could remove.
LINKS = {
    "C:\\CARD\\SUB\\SHARED": "C:\\SHARED",
    "C:\\CARD2\\EMPTY": "C:\\EMPTYDIR",
    "C:\\LINKED": "C:\\ELSEWHERE",
    "C:\\LINKEDEMPTY": "C:\\EMPTYTOO",
}


def link_target(m, link):
    host = m.host(link)
    return os.readlink(host) if os.path.islink(host) else None


# The directories that hold a link, and so stay with it.
ABOVE_LINKS = ("C:\\CARD", "C:\\CARD\\SUB", "C:\\CARD2")


@scenario.scenario()
def tree_removal_leaves_linked_directories(m):
    """A tree holding directory links, and a named directory that is a
    link: every link stays as it was, and so do the directories above it
    and the directories they point to with everything in them, an empty one
    included."""
    for directory, files in TARGETS.items():
        m.mkdir(directory)
        for name, data in files.items():
            m.write(directory + "\\" + name, data)
    m.write("C:\\CARD\\README.TXT", b"card")
    m.write("C:\\CARD\\SUB\\B.TXT", b"card")
    for link, target in LINKS.items():
        m.link_dir(link, target)
    before = {link: link_target(m, link) for link in LINKS}
    # A link that stays is what stopped its tree: the closing message names
    # it, in the order of the trees.
    uninstall(m, {"deltree": ["C:\\CARD", "C:\\CARD2", "C:\\LINKED",
                              "C:\\LINKEDEMPTY"]},
              lambda m: texts.closing_not_done(
                  ["Not deleted: " + link for link in LINKS
                   if os.path.lexists(m.host(link))]))
    problems = []
    for directory in list(TARGETS) + list(ABOVE_LINKS):
        if not os.path.isdir(m.host(directory)):
            problems.append(f"{directory} is gone")
    for directory, files in TARGETS.items():
        for name, data in files.items():
            path = directory + "\\" + name
            if not m.exists(path) or m.read(path) != data:
                problems.append(f"{path} is gone or changed")
    for link in LINKS:
        if link_target(m, link) != before[link]:
            problems.append(f"{link} is gone or points elsewhere now")
    if problems:
        raise AssertionError("\n".join(problems))


# What platform_probe.exe links expects in C:\LINKS: link -> target.
PROBE_LINKS = {"LINK": "EMPTY", "FULL": "FILLED", "RAW": "RAWEMPTY"}


@scenario.scenario()
def platform_layer_refuses_links(m):
    """platform_probe.exe of the build under test on links laid out here:
    how a search and the attributes show a link, RemoveDir refusing every
    link and leaving what it points to, and Wine's own RemoveDirectoryA
    taking the empty directory behind a link instead of the link."""
    for target in PROBE_LINKS.values():
        m.mkdir("C:\\LINKS\\" + target)
    m.write("C:\\LINKS\\FILLED\\KEEP.TXT", b"keep")
    for link, target in PROBE_LINKS.items():
        m.link_dir("C:\\LINKS\\" + link, "C:\\LINKS\\" + target)
    m.mkdir("C:\\PROBE")
    shutil.copyfile(wineenv.build_program("platform_probe.exe"),
                    m.host("C:\\PROBE\\platform_probe.exe"))
    result = m.run("C:\\PROBE", ["links", "C:\\LINKS"],
                   program="platform_probe.exe")
    m.finish()
    with open(m.log, encoding="latin-1") as f:
        failed = [line.rstrip() for line in f if line.startswith("FAIL")]
    if result.exit_code != 0 or failed:
        raise AssertionError(f"platform_probe.exe links: exit "
                             f"{result.exit_code}\n" + "\n".join(failed))
    # The host's view: the links the layer refused are still links.
    for link in ("LINK", "FULL", "RAW"):
        if not os.path.islink(m.host("C:\\LINKS\\" + link)):
            raise AssertionError(f"C:\\LINKS\\{link} is no longer a link")


if __name__ == "__main__":
    sys.exit(scenario.main())
