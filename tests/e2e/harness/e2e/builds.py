"""The Windows builds whose programs the end-to-end tests run, and whether
this machine can run them.

Every test runs the programs of one build (SELDUNAX_E2E_BUILD): "i686",
the build that ships (SELDUNAX_WIN32_DIR, an i686 MinSizeRel build, its
programs exactly as scripts/release_build.sh finds them), run by the 64-bit
Wine in its wow64 mode with the 32-bit DLLs that scripts/wow64/prepare.sh
caches (SELDUNAX_WINE_I386); or "x86_64" (SELDUNAX_WIN64_DIR). The test
tools (boxhelper.exe and the others) always come from the x86_64 build.
"""

import contextlib
import os
import subprocess

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "..", ".."))

# The exit code of a test that cannot run on this machine (CTest's
# SKIP_RETURN_CODE): the i686 build where no 32-bit code can run.
SKIPPED = 77


def win64_dir():
    return os.environ.get("SELDUNAX_WIN64_DIR",
                          os.path.join(REPO, "build", "win64"))


def win32_dir():
    return os.environ.get("SELDUNAX_WIN32_DIR",
                          os.path.join(REPO, "build", "win32"))


def wine_i386_dir():
    """The cache of scripts/wow64/prepare.sh: the 32-bit DLLs and the
    verdict whether 32-bit programs run here."""
    return os.environ.get("SELDUNAX_WINE_I386",
                          os.path.join(REPO, "build", "wine-i386"))


class Build:
    """A Windows build whose programs the tests run."""

    def __init__(self, name, bits, directory):
        self.name = name          # "i686" or "x86_64"
        self.bits = bits          # pointer width of its programs
        self.dir = directory


BUILD_NAMES = ("i686", "x86_64")


def current_build():
    """The build under test, named by SELDUNAX_E2E_BUILD (default x86_64)."""
    name = os.environ.get("SELDUNAX_E2E_BUILD", "x86_64")
    if name == "i686":
        return Build(name, 32, win32_dir())
    if name == "x86_64":
        return Build(name, 64, win64_dir())
    raise ValueError(f"SELDUNAX_E2E_BUILD={name!r}: want one of {BUILD_NAMES}")


# The program, its release tool and the checker come from the build under
# test; every other program is a test tool of the x86_64 build.
SHIPPED = ("SELDUNAX.EXE", "DEVEJECT.EXE", "SELDCHK.EXE")

_release_files = {}


def release_files(directory):
    """{name: path} of SELDUNAX.EXE, DEVEJECT.EXE and SELDCHK.EXE in an i686
    MinSizeRel build directory, as scripts/release_build.sh finds the files
    that ship; raises when the directory is no such build."""
    if directory not in _release_files:
        script = ('source "$1/scripts/release_build.sh" && '
                  'release_programs "$2" && '
                  'printf "%s\\n%s\\n%s\\n" "$SELDUNAX_EXE" "$DEVEJECT_EXE" '
                  '"$SELDCHK_EXE"')
        done = subprocess.run(["bash", "-c", script, "release", REPO,
                               directory], capture_output=True, text=True)
        if done.returncode != 0:
            raise RuntimeError("not the build that ships: "
                               + done.stderr.strip())
        _release_files[directory] = dict(
            zip(SHIPPED, done.stdout.split("\n")[:3]))
    return _release_files[directory]


def _search(root, name, required):
    want = name.lower()
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames[:] = [d for d in dirnames if d != "CMakeFiles"]
        for f in filenames:
            if f.lower() == want:
                return os.path.join(dirpath, f)
    if required:
        raise FileNotFoundError(f"{name} is not built in {root}")
    return None


def build_program(name, required=True):
    """A built Windows program of the build under test (any letter case);
    for the i686 build, SELDUNAX.EXE, DEVEJECT.EXE and SELDCHK.EXE are the
    files that ship."""
    build = current_build()
    if build.name == "i686" and name.upper() in SHIPPED:
        return release_files(build.dir)[name.upper()]
    return _search(build.dir, name, required)


def find_program(name, required=True):
    """The built Windows program of that file name (any letter case):
    SELDUNAX.EXE and DEVEJECT.EXE of the build under test, every other one
    (the test tools) of the x86_64 build. None when it is not built and not
    required."""
    if name.upper() in SHIPPED:
        return build_program(name, required)
    return _search(win64_dir(), name, required)


# ------------------------------------------------------- 32-bit programs

def _boot_id():
    with open("/proc/sys/kernel/random/boot_id") as f:
        return f.read().strip()


def wow64_verdict(refresh=True):
    """Whether 32-bit programs run under this Wine: ("ok", ""),
    ("unsupported", why) when this machine cannot run 32-bit code at all,
    ("broken", why) or ("missing", what to do). The verdict of
    scripts/wow64/prepare.sh holds for one boot of the machine; refresh
    makes a stale one anew (about 20 s)."""
    cache = wine_i386_dir()
    if not os.path.exists(os.path.join(cache, "i386-windows", "ntdll.dll")):
        return ("missing", f"the 32-bit Wine DLLs are not in {cache}: run "
                "scripts/install_deps.sh as root")
    status = os.path.join(cache, "status")

    def read():
        with contextlib.suppress(OSError):
            with open(status) as f:
                key, _, verdict = f.read().partition("\n")
            if key.split()[1:2] == [_boot_id()]:
                return verdict.strip()
        return None

    verdict = read()
    if verdict is None and refresh:
        subprocess.run(["bash", os.path.join(REPO, "scripts", "wow64",
                                             "prepare.sh"), "check", cache],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        verdict = read()
    if verdict is None:
        return ("broken", f"no verdict in {status}: run "
                "scripts/wow64/prepare.sh check")
    kind, _, why = verdict.partition(": ")
    return (kind, why) if kind in ("unsupported", "broken") else ("ok", "")


def wow64_ready():
    """Whether this machine runs 32-bit programs under Wine (checked
    before, never refreshed here)."""
    return wow64_verdict(refresh=False)[0] == "ok"


def why_not_runnable():
    """None when the build under test can run here. Else the reason, and
    whether it means a skip (this machine cannot run 32-bit code, unless
    SELDUNAX_E2E_REQUIRE_I686=1) rather than a failure."""
    if current_build().name != "i686":
        return None
    kind, why = wow64_verdict()
    if kind == "ok":
        return None
    skip = (kind == "unsupported"
            and os.environ.get("SELDUNAX_E2E_REQUIRE_I686") != "1")
    return why, skip


def skip_or_fail(reason):
    """The exit code for a test whose build cannot run here (see
    why_not_runnable), after saying why."""
    why, skip = reason
    build = current_build().name
    print(f"{'SKIPPED' if skip else 'FAIL'} ({build} build): {why}")
    return SKIPPED if skip else 1
