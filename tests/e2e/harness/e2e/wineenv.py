"""The Wine side of the end-to-end tests: where things live, the X server,
the template prefix, and running Windows programs.

Every test runs the programs of one build (builds.py): the i686 one under
Wine's wow64 mode, with the 32-bit DLLs of scripts/wow64/prepare.sh, or
the x86_64 one.

One test run shares one work directory (SELDUNAX_E2E_WORK). In it:
  display        the X display of the run's Xvfb (":N") and its pid
  template/      a Wine prefix booted once, copied for every scenario
  runs/<build>.<name>/
                 one scenario's prefix, logs and box reports

Everything here is idempotent and guarded by a lock, so that scenarios
started without the set-up test (or in parallel) still find one X server
and one template.
"""

import contextlib
import fcntl
import json
import os
import shutil
import signal
import subprocess
import sys
import time

# Which build a test runs, and its programs; re-exported for the scenarios.
from e2e.builds import (SKIPPED, current_build, find_program,  # noqa: F401
                        build_program, skip_or_fail, win32_dir, win64_dir,
                        wine_i386_dir, why_not_runnable, wow64_ready,
                        wow64_verdict)

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "..", ".."))

# Bumped whenever the template's contents change, so old templates are rebuilt.
TEMPLATE_VERSION = "3"

# Settings every template gets: crashes end the program instead of waiting
# on a crash dialog nobody will answer.
TEMPLATE_REG = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
"""

# The big parts of a prefix that Wine only reads are hard-linked into each
# copy; everything else is copied. A program that overwrites one of the
# linked files in place would change the template: the manifest of their
# sizes and times lets finish() notice that (damaged_template_files).
_LINKED_DIRS = ("drive_c/windows/system32", "drive_c/windows/syswow64",
                "drive_c/windows/winsxs", "drive_c/windows/globalization")


def work_dir():
    return os.environ.get("SELDUNAX_E2E_WORK",
                          os.path.join(REPO, "build", "native", "tests", "e2e",
                                       "work"))


def log(msg):
    print("[e2e] " + msg, flush=True)


def run_quiet(cmd, env, timeout, cwd=None, logfile=None):
    """Runs a host command, its output into logfile (or discarded);
    returns the exit code, or None when it did not end in time."""
    out = open(logfile, "ab") if logfile else subprocess.DEVNULL
    try:
        return subprocess.run(cmd, env=env, cwd=cwd, stdout=out,
                              stderr=subprocess.STDOUT,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return None
    finally:
        if logfile:
            out.close()


@contextlib.contextmanager
def _locked(name):
    os.makedirs(work_dir(), exist_ok=True)
    with open(os.path.join(work_dir(), name + ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        yield


def to_windows_path(host_path):
    """A host path as Wine sees it through drive Z:."""
    return "Z:" + os.path.abspath(host_path).replace("/", "\\")


# ------------------------------------------------------------- X server

def _display_file():
    return os.path.join(work_dir(), "display")


def _alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except OSError:
        return False


def _read_display():
    try:
        with open(_display_file()) as f:
            display, pid = f.read().split()
        return display, int(pid)
    except (OSError, ValueError):
        return None, None


def ensure_display():
    """The X display of this run, starting Xvfb when none is running."""
    with _locked("display"):
        display, pid = _read_display()
        if display and _alive(pid):
            return display
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             "1024x768x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        display = ":" + number.strip().decode()
        with open(_display_file(), "w") as f:
            f.write(f"{display} {xvfb.pid}\n")
        log(f"Xvfb on {display} (pid {xvfb.pid})")
        return display


def stop_display():
    with _locked("display"):
        display, pid = _read_display()
        if display and _alive(pid):
            os.kill(pid, signal.SIGTERM)
            log(f"stopped Xvfb on {display}")
        with contextlib.suppress(OSError):
            os.remove(_display_file())


# ------------------------------------------------------------- prefixes

def wine_env(prefix, display=None):
    env = dict(os.environ)
    # No Mono or Gecko prompts, and no menu entries for the host desktop
    # (winemenubuilder only costs start-up time here).
    env.update(WINEPREFIX=prefix,
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
               WINEDEBUG="-all", LC_ALL="C.UTF-8")
    env.pop("WINEARCH", None)
    env.pop("WINEDLLPATH", None)
    if wow64_ready():
        # The 32-bit DLLs for Wine's wow64 mode, for every prefix of the
        # run: the template is booted with them, so that its SysWOW64 holds
        # the 32-bit system.
        env["WINEDLLPATH"] = os.path.join(wine_i386_dir(), "dllpath")
    env["DISPLAY"] = display or ensure_display()
    return env


def template_dir():
    return os.path.join(work_dir(), "template")


def _stamp_file():
    return os.path.join(work_dir(), "template.stamp")


def _manifest_file():
    return os.path.join(work_dir(), "template.manifest")


def _write_manifest(prefix):
    files = {}
    for linked in _LINKED_DIRS:
        for dirpath, _, filenames in os.walk(os.path.join(prefix, linked)):
            for name in filenames:
                path = os.path.join(dirpath, name)
                st = os.lstat(path)
                files[os.path.relpath(path, prefix)] = [st.st_size,
                                                        st.st_mtime_ns]
    with open(_manifest_file(), "w") as f:
        json.dump(files, f)


def _wine_stamp():
    out = subprocess.run(["wine", "--version"], capture_output=True,
                         text=True).stdout.strip()
    wow64 = " wow64" if wow64_ready() else ""
    return f"{out} template {TEMPLATE_VERSION}{wow64}"


def ensure_template():
    """The booted template prefix, made once (about a minute) and kept while
    the Wine version and the template settings stay the same."""
    with _locked("template"):
        return _ensure_template_locked()


def _ensure_template_locked():
    prefix = template_dir()
    stamp_file = _stamp_file()
    stamp = _wine_stamp()
    with contextlib.suppress(OSError):
        with open(stamp_file) as f:
            if (f.read() == stamp and os.path.isdir(prefix)
                    and os.path.exists(_manifest_file())):
                return prefix
    shutil.rmtree(prefix, ignore_errors=True)
    with contextlib.suppress(OSError):
        os.remove(stamp_file)
    env = wine_env(prefix)
    logfile = os.path.join(work_dir(), "template.log")
    log("booting the template Wine prefix")
    start = time.time()
    if run_quiet(["wineboot", "-i"], env, 300, logfile=logfile) != 0:
        raise RuntimeError(f"wineboot failed, see {logfile}")
    reg = os.path.join(work_dir(), "template.reg")
    with open(reg, "w", newline="\r\n") as f:
        f.write(TEMPLATE_REG)
    if run_quiet(["wine", "regedit", "/s", to_windows_path(reg)], env,
                 120, logfile=logfile) != 0:
        raise RuntimeError(f"template settings failed, see {logfile}")
    if run_quiet(["wineserver", "-w"], env, 120, logfile=logfile) != 0:
        raise RuntimeError("the template's wineserver did not end")
    cut_outward_links(prefix)
    _write_manifest(prefix)
    with open(stamp_file, "w") as f:
        f.write(stamp)
    log(f"template ready in {time.time() - start:.0f} s")
    return prefix


def outward_links(prefix):
    """Symbolic links below the prefix's drive_c whose target lies outside
    drive_c, as (link, target) pairs. A new prefix links the user's shell
    folders (Desktop, Documents, Music, ...) to the host's home directory;
    a tree removal that followed them would reach the host."""
    drive_c = os.path.realpath(os.path.join(prefix, "drive_c"))
    found = []
    for dirpath, dirnames, filenames in os.walk(drive_c):
        for name in dirnames + filenames:
            path = os.path.join(dirpath, name)
            if not os.path.islink(path):
                continue
            target = os.path.realpath(path)
            if os.path.commonpath([drive_c, target]) != drive_c:
                found.append((path, target))
    return found


def cut_outward_links(prefix):
    """Replaces every link of outward_links() by an empty plain directory
    (they are all shell folders), so that nothing a Windows program does in
    the prefix's drive C: reaches the host's files."""
    for link, _ in outward_links(prefix):
        os.remove(link)
        os.mkdir(link)


def _copy_prefix(src, dest, shared):
    """Copies the prefix src to dest; files below _LINKED_DIRS for which
    shared(stat) holds are hard-linked instead. Links out of drive_c (a
    template made before they were cut, or a link Wine made again) are
    cut in the copy."""
    shutil.rmtree(dest, ignore_errors=True)
    linked = tuple(os.path.join(src, d) + os.sep for d in _LINKED_DIRS)

    def copy(s, d):
        if s.startswith(linked) and shared(os.lstat(s)):
            os.link(s, d)
        else:
            shutil.copy2(s, d)

    shutil.copytree(src, dest, symlinks=True, copy_function=copy)
    cut_outward_links(dest)
    return dest


def copy_template(dest):
    """A fresh prefix at dest, a copy of the template (made under the lock,
    so that a template being rebuilt is never half copied)."""
    with _locked("template"):
        return _copy_prefix(_ensure_template_locked(), dest, lambda st: True)


def copy_prefix(src, dest):
    """A copy of a machine's prefix, its Wine processes ended: what it still
    shares with the template stays shared, everything else is its own."""
    return _copy_prefix(src, dest, lambda st: st.st_nlink > 1)


def damaged_template_files(prefix):
    """Files of the template that were changed through their hard links in
    prefix. When there are any, the template is marked for rebuilding."""
    with open(_manifest_file()) as f:
        manifest = json.load(f)
    changed = []
    for rel, (size, mtime) in manifest.items():
        try:
            st = os.lstat(os.path.join(prefix, rel))
        except OSError:
            continue
        if st.st_nlink > 1 and [st.st_size, st.st_mtime_ns] != [size, mtime]:
            changed.append(rel)
    if changed:
        with contextlib.suppress(OSError):
            os.remove(_stamp_file())
    return changed


# ------------------------------------------------------------- commands

def setup():
    ensure_display()
    kind, why = wow64_verdict()
    log("32-bit programs: " + (f"{kind}: {why}" if why else kind))
    ensure_template()
    log(f"boxhelper.exe: {find_program('boxhelper.exe', required=False)}")
    return 0


def teardown():
    stop_display()
    return 0


def check_links():
    """A fresh prefix, after a Windows program has run in it, holds no link
    that leads out of its drive C:."""
    run_dir = os.path.join(work_dir(), "runs", "prefix-links")
    prefix = copy_template(os.path.join(run_dir, "prefix"))
    env = wine_env(prefix)
    run_quiet(["wine", "cmd", "/c", "exit"], env, 120)
    run_quiet(["wineserver", "-w"], env, 60)
    found = outward_links(template_dir()) + outward_links(prefix)
    for link, target in found:
        print(f"FAIL {link} -> {target}")
    if not found:
        shutil.rmtree(run_dir, ignore_errors=True)
    return 1 if found else 0


# ---------------------------------------------------- system directory

_system_dirs = {}


def system_dirs():
    """(seen, on_disk) for the build under test: the system directory its
    programs see (GetSystemDirectoryA, what %WINSYS% becomes in what they
    write) and the directory that holds its files as 64-bit programs and
    the host name it. Machines do not agree on the first for a 32-bit
    program (C:\\windows\\system32, which the system redirects to
    SysWOW64, or SysWOW64 itself), so platform_probe.exe of the build is
    asked, once per template and build, in a copy of the template."""
    build = current_build().name
    if build not in _system_dirs:
        with _locked("system_dir"):
            _system_dirs[build] = _saved_system_dirs(build)
    return _system_dirs[build]


def _saved_system_dirs(build):
    saved_file = os.path.join(work_dir(), f"system_dir.{build}.json")
    stamp = _wine_stamp()
    with contextlib.suppress(OSError, ValueError, KeyError):
        with open(saved_file) as f:
            saved = json.load(f)
        if saved["stamp"] == stamp:
            return tuple(saved["dirs"])
    dirs = _ask_system_dirs(build)
    with open(saved_file, "w") as f:
        json.dump({"stamp": stamp, "dirs": dirs}, f)
    return dirs


def _ask_system_dirs(build):
    run_dir = os.path.join(work_dir(), "runs", f"{build}.system-dir")
    prefix = copy_template(os.path.join(run_dir, "prefix"))
    env = wine_env(prefix)
    try:
        done = subprocess.run(["wine", build_program("platform_probe.exe"),
                               "system-dir"], env=env, capture_output=True,
                              timeout=120)
    finally:
        run_quiet(["wineserver", "-k"], env, 60)
    lines = done.stdout.decode("cp1252").replace("\r", "").split("\n")
    dirs = tuple(lines[:2])
    if (done.returncode != 0 or len(dirs) != 2
            or not all(d[1:3] == ":\\" for d in dirs)):
        raise RuntimeError("platform_probe.exe system-dir: exit "
                           f"{done.returncode}, printed {done.stdout!r}")
    shutil.rmtree(run_dir, ignore_errors=True)
    return dirs


def winexec(name, args):
    """Runs a Windows program of the build under test in a fresh prefix;
    host paths among the arguments are passed as Z: paths. Returns the
    program's exit code."""
    reason = why_not_runnable()
    if reason:
        return skip_or_fail(reason)
    program = build_program(name)
    run_dir = os.path.join(work_dir(), "runs", f"{current_build().name}."
                           f"winexec-{name.lower()}")
    prefix = copy_template(os.path.join(run_dir, "prefix"))
    env = wine_env(prefix)
    args = [to_windows_path(a) if a.startswith("/") and os.path.exists(a)
            else a for a in args]
    code = subprocess.run(["wine", program] + args, env=env).returncode
    run_quiet(["wineserver", "-k"], env, 60)
    if code == 0:
        shutil.rmtree(run_dir, ignore_errors=True)
    return code


def main(argv):
    if argv[:1] == ["setup"]:
        return setup()
    if argv[:1] == ["teardown"]:
        return teardown()
    if argv[:1] == ["check-links"]:
        return check_links()
    if argv[:1] == ["winexec"] and len(argv) >= 2:
        return winexec(argv[1], argv[2:])
    print("usage: python3 -m e2e.wineenv setup | teardown | check-links | "
          "winexec PROGRAM [ARGS...]",
          file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
