"""A Windows machine for one end-to-end scenario: a fresh Wine prefix with
its files, its registry, and runs of SELDUNAX.EXE whose message boxes are
read and answered by boxhelper.exe.

    with Machine("launch.no_control_file") as m:
        m.install_program(r"C:\\DISK")
        result = m.run(r"C:\\DISK", ["SELDUNAX.INI"], answers=["ok"])
        m.finish()

Paths given to a Machine are Windows paths on drive C: as the host and
64-bit programs name them; the Windows directory is C:\\windows. The system
directory is the one the program under test sees, which machines do not
agree on for the i686 build: ask the machine. m.system_dir (and
m.seen("%WINSYS%\\X")) names it as the program does, for what the program
writes; m.on_disk("%WINSYS%\\X") (or of a path the program wrote) names the
same file where it lies, for laying files out, reading them back and the
64-bit test tools: C:\\windows\\syswow64 where a 32-bit program's
C:\\windows\\system32 is redirected there.

Wine carries out WININIT.INI when a session starts, that is when a Wine
process starts while none of the machine's runs: a WININIT.INI laid out
before a run, or read after a new process started, has already been
carried out as at a restart. Keep one session across those steps with
`with m.session():`.
"""

import contextlib
import getpass
import os
import select
import shutil
import subprocess
import time

from e2e import regfile, wineenv

WINDOWS_DIR = "C:\\windows"
WINSYS = "%WINSYS%"


def on_disk(path, seen, disk):
    """path with %WINSYS%, or the system directory seen at its start (in
    any letter case), replaced by disk, the directory where seen lies."""
    if path.startswith(WINSYS):
        return disk + path[len(WINSYS):]
    if path.lower() == seen.lower() or path.lower().startswith(
            seen.lower() + "\\"):
        return disk + path[len(seen):]
    return path


class Box:
    """A message box as boxhelper saw it; window and parts are (left, top,
    width, height) on the screen of the box and of its visible controls
    together, text_area (width, height) of its text (None when not
    reported)."""

    def __init__(self, title, buttons, icon, text, window=None, parts=None,
                 text_area=None):
        self.title = title
        self.buttons = tuple(buttons)
        self.icon = icon
        self.text = text
        self.window = window
        self.parts = parts
        self.text_area = text_area
        self.answer = "read"  # the button asked for
        self.pressed = False  # and whether it was pressed

    @classmethod
    def parse(cls, report):
        """From boxhelper's report (bytes, ANSI code page 1252)."""
        head, _, text = report.decode("cp1252").partition("\ntext:\n")
        fields = dict(line.split(": ", 1) if ": " in line else (line[:-1], "")
                      for line in head.split("\n"))

        def numbers(key):
            return (tuple(int(n) for n in fields[key].split())
                    if key in fields else None)
        return cls(fields.get("title", ""),
                   fields.get("buttons", "").split(),
                   fields.get("icon") == "yes", text, numbers("window"),
                   numbers("parts"), numbers("text area"))

    def __repr__(self):
        return (f"Box(title={self.title!r}, buttons={'/'.join(self.buttons)},"
                f" icon={self.icon}, text={self.text!r})")


class RunResult:
    """One run of the program: its exit code (None when it had to be
    killed) and every box it showed, answered or not, in order."""

    def __init__(self):
        self.exit_code = None
        self.boxes = []
        self.killed = False

    def __repr__(self):
        return f"RunResult(exit_code={self.exit_code}, boxes={self.boxes})"


def _printed(process, line, seconds):
    """Whether process prints line (alone on a line) within seconds."""
    deadline = time.time() + seconds
    pending = b""
    while time.time() < deadline:
        ready, _, _ = select.select([process.stdout], [], [], 0.2)
        if not ready:
            continue
        chunk = os.read(process.stdout.fileno(), 4096)
        if not chunk:
            return False
        pending += chunk
        if line.encode() in pending.replace(b"\r", b"").split(b"\n"):
            return True
    return False


class Session:
    """A Wine session of a machine, kept by hold_open.exe (see
    Machine.session): holding() tells whether it still holds its files;
    exit_code, once the session is over, is hold_open.exe's (0: every file
    held until the end)."""

    def __init__(self, keeper):
        self._keeper = keeper
        self.exit_code = None

    def holding(self):
        return self._keeper.poll() is None


class Machine:
    def __init__(self, name, copy_of=None):
        """A fresh machine, or with copy_of a copy of that machine as it
        is (call its finish() first)."""
        self.name = name
        self.build = wineenv.current_build()
        self.dir = os.path.join(wineenv.work_dir(), "runs",
                                f"{self.build.name}.{name}")
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        prefix = os.path.join(self.dir, "prefix")
        self.prefix = (wineenv.copy_prefix(copy_of.prefix, prefix) if copy_of
                       else wineenv.copy_template(prefix))
        self.env = wineenv.wine_env(self.prefix)
        self.log = os.path.join(self.dir, "wine.log")
        self._boxhelper = wineenv.find_program("boxhelper.exe")
        self._counter = 0

    def __enter__(self):
        return self

    def __exit__(self, kind, value, trace):
        if kind is not None:
            self.screenshot("failure")
        self.kill()
        keep = os.environ.get("SELDUNAX_E2E_KEEP") == "1"
        if kind is None and not keep:
            shutil.rmtree(self.prefix, ignore_errors=True)
        return False

    # ------------------------------------------------------------- files

    def host(self, path):
        """The host path of a Windows path on drive C:, following the
        letter case of what already exists, as Windows would."""
        if path[:3].upper() != "C:\\":
            raise ValueError(f"not a path on drive C: {path}")
        current = os.path.join(self.prefix, "drive_c")
        for part in [p for p in path[3:].split("\\") if p]:
            exact = os.path.join(current, part)
            if not os.path.exists(exact) and os.path.isdir(current):
                for entry in os.listdir(current):
                    if entry.lower() == part.lower():
                        exact = os.path.join(current, entry)
                        break
            current = exact
        return current

    @property
    def system_dir(self):
        """The system directory (GetSystemDirectoryA, %WINSYS%) as the
        program under test sees it, without its backslash."""
        return wineenv.system_dirs()[0]

    def seen(self, path):
        """path with a leading %WINSYS% as the program under test expands
        it."""
        if path.startswith(WINSYS):
            return self.system_dir + path[len(WINSYS):]
        return path

    def on_disk(self, path):
        """path with %WINSYS%, or the program's system directory at its
        start, named where the directory lies (see the module's text)."""
        return on_disk(path, *wineenv.system_dirs())

    @property
    def temp_dir(self):
        """The temporary directory (GetTempPathA) without its backslash."""
        return f"C:\\users\\{getpass.getuser()}\\Temp"

    def mkdir(self, path):
        os.makedirs(self.host(path), exist_ok=True)

    def write(self, path, content, crlf=True):
        """Writes a file: bytes as they are, text in code page 1252 with
        CR LF line ends unless crlf is False."""
        if isinstance(content, str):
            if crlf:
                content = content.replace("\r\n", "\n").replace("\n", "\r\n")
            content = content.encode("cp1252")
        target = self.host(path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with contextlib.suppress(FileNotFoundError):
            os.remove(target)  # never write through a link into the template
        with open(target, "wb") as f:
            f.write(content)

    def write_ini(self, path, sections):
        """An INI file from {section: {key: value}} or {section: [values]},
        a list giving the keys "1", "2", ... as message sections use."""
        lines = []
        for section, values in sections.items():
            lines.append(f"[{section}]")
            if isinstance(values, (list, tuple)):
                values = {str(i + 1): v for i, v in enumerate(values)}
            lines += [f"{key}={value}" for key, value in values.items()]
            lines.append("")
        self.write(path, "\n".join(lines))

    def add_drive_d(self, files):
        """Drive D: of the machine: the directory drive_d inside its prefix
        (never a host directory), holding files {path below D:\\: data}.
        Returns its host directory."""
        root = os.path.join(self.prefix, "drive_d")
        os.makedirs(root)
        os.symlink("../drive_d", os.path.join(self.prefix, "dosdevices", "d:"))
        for path, data in files.items():
            host = os.path.join(root, *path.split("\\"))
            os.makedirs(os.path.dirname(host), exist_ok=True)
            with open(host, "wb") as f:
                f.write(data)
        return root

    def unshare(self, path):
        """Gives the machine its own copy of a file it shares with the
        template (under system32 or syswow64), so that the program may
        overwrite it."""
        target = self.host(path)
        with open(target, "rb") as f:
            content = f.read()
        os.remove(target)
        with open(target, "wb") as f:
            f.write(content)

    def link_dir(self, path, target):
        """Makes path a symbolic link to the directory target, both on drive
        C:. The link is relative and must resolve inside the prefix's
        drive_c: a link out of it would let the program reach the host."""
        link = self.host(path)
        dest = self.host(target)
        drive_c = os.path.realpath(os.path.join(self.prefix, "drive_c"))
        if (not os.path.isdir(dest) or os.path.commonpath(
                [drive_c, os.path.realpath(dest)]) != drive_c):
            raise ValueError(f"{target} is no directory inside drive_c")
        os.makedirs(os.path.dirname(link), exist_ok=True)
        os.symlink(os.path.relpath(dest, os.path.dirname(link)), link)

    def read(self, path):
        with open(self.host(path), "rb") as f:
            return f.read()

    def read_text(self, path):
        return self.read(path).decode("cp1252")

    def exists(self, path):
        return os.path.exists(self.host(path))

    def listdir(self, path):
        return sorted(os.listdir(self.host(path)))

    def install_program(self, directory, deveject="dummy",
                        name="SELDUNAX.EXE"):
        """Puts the program into directory, with the release tool beside
        it: "built" the real DEVEJECT.EXE, "recording" the stand-in that
        logs its runs, "dummy" a file that only has to exist, None none."""
        shutil.copyfile(wineenv.find_program("SELDUNAX.EXE"),
                        self._new(directory, name))
        tools = {"built": "DEVEJECT.EXE", "recording": "recording_deveject.exe"}
        if deveject in tools:
            shutil.copyfile(wineenv.find_program(tools[deveject]),
                            self._new(directory, "DEVEJECT.EXE"))
        elif deveject == "dummy":
            self.write(directory + "\\DEVEJECT.EXE", b"not a program\r\n")
        elif deveject is not None:
            raise ValueError(f"unknown release tool {deveject!r}")

    def _new(self, directory, name):
        self.mkdir(directory)
        return self.host(directory + "\\" + name)

    # ---------------------------------------------------------- registry

    @property
    def software_key(self):
        """HKEY_LOCAL_MACHINE\\Software as the program under test sees it,
        named as regedit (a 64-bit program) and the exports name it: Wine
        redirects a 32-bit program's to Software\\Wow6432Node, as 64-bit
        Windows does (HKEY_CURRENT_USER\\Software is not redirected)."""
        return ("HKEY_LOCAL_MACHINE\\Software" +
                ("\\Wow6432Node" if self.build.bits == 32 else ""))

    def import_reg(self, keys):
        """Imports {key path: {value name: value}} (see regfile.regedit4)
        or REGEDIT4 text. A REGEDIT4 file is in the ANSI code page, here
        1252: "Startmenü" arrives as the German Windows has it."""
        text = keys if isinstance(keys, str) else regfile.regedit4(keys)
        reg = self._scratch("import", ".reg")
        with open(reg, "w", newline="", encoding="cp1252") as f:
            f.write(text)
        self._wine(["regedit", "/s", wineenv.to_windows_path(reg)])

    def export_reg(self, key):
        """{key path: {value name: value}} of key and every key below it,
        or None when key does not exist. Cheapest while the machine's
        wineserver still runs, that is before finish()."""
        reg = self._scratch("export", ".reg")
        self._wine(["regedit", "/e", wineenv.to_windows_path(reg), key])
        if not os.path.exists(reg):
            return None
        with open(reg, "rb") as f:
            data = f.read()
        text = (data.decode("utf-16") if data[:2] == b"\xff\xfe"
                else data.decode("cp1252"))
        return regfile.parse(text)

    # ----------------------------------------------------------- running

    def run(self, cwd, args=(), answers=(), command_line=None, timeout=90,
            program="SELDUNAX.EXE"):
        """Runs cwd\\program from the current directory cwd with args, or
        with exactly command_line as its whole command line (program name
        included), answers its boxes in order ("ok", "yes", "no", "cancel")
        and waits for its end."""
        exe = cwd.rstrip("\\") + "\\" + program
        if command_line is None:
            cmd = ["wine", exe] + list(args)
        else:
            line = self._scratch("command", ".txt")
            with open(line, "wb") as f:
                f.write(command_line.encode("cp1252"))
            cmd = ["wine", self._boxhelper, "run", exe,
                   wineenv.to_windows_path(line)]
        result = RunResult()
        with open(self.log, "ab") as log:
            log.write(f"--- run {cmd[1:]} in {cwd}\n".encode())
            log.flush()
            process = subprocess.Popen(cmd, cwd=self.host(cwd), env=self.env,
                                       stdout=log, stderr=subprocess.STDOUT)
        for answer in answers:
            box = self.answer(answer, process=process)
            if box is None:
                break
            result.boxes.append(box)
            if not box.pressed:  # no such button: the box stays up
                timeout = 5
                break
        try:
            result.exit_code = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            if not result.boxes or result.boxes[-1].pressed:
                box = self.answer("read", timeout=2)
                if box:
                    result.boxes.append(box)
            self.screenshot("hung")
            self.kill()
            process.wait()
            result.killed = True
        return result

    def answer(self, button, timeout=45, process=None):
        """Waits for a box, reports it and presses button ("read" presses
        nothing). Returns the Box, or None when none showed in time or the
        process given ended first."""
        report = self._scratch("box", ".txt")
        helper = subprocess.Popen(
            ["wine", self._boxhelper, "wait-and-press", button, "--timeout",
             str(timeout), "--out", wineenv.to_windows_path(report)],
            cwd=self.dir, env=self.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        while helper.poll() is None:
            if process is not None and process.poll() is not None:
                time.sleep(0.5)  # a box shown just before the end still counts
                if helper.poll() is None and not os.path.exists(report):
                    helper.kill()
                    helper.wait()
                    return None
            time.sleep(0.05)
        if not os.path.exists(report):
            return None
        with open(report, "rb") as f:
            box = Box.parse(f.read())
        box.answer = button
        box.pressed = button != "read" and helper.returncode == 0
        return box

    def expect_no_box(self, seconds):
        """The box that shows within seconds, or None."""
        report = self._scratch("box", ".txt")
        self._wine([self._boxhelper, "expect-none", "--timeout", str(seconds),
                    "--out", wineenv.to_windows_path(report)],
                   timeout=seconds + 30)
        if not os.path.exists(report):
            return None
        with open(report, "rb") as f:
            return Box.parse(f.read())

    @contextlib.contextmanager
    def session(self, seconds=600, held=()):
        """Keeps one Wine session of the machine for the block: a process
        that only waits (hold_open.exe, holding a file outside drive C:)
        starts first, so that the session's start (which carries out a
        WININIT.INI already there) is behind, and ends with the block.
        Inside, a WININIT.INI laid out stays for the program to find and
        one the program wrote stays to be read. The same process holds the
        files held (paths on drive C:, %WINSYS% allowed) open without
        sharing, as the system holds a loaded driver, until the block ends.
        Yields a Session."""
        keep = self._scratch("session", ".keep")
        stop = keep[:-len(".keep")] + ".stop"
        open(keep, "wb").close()
        keeper = subprocess.Popen(
            ["wine", wineenv.find_program("hold_open.exe"),
             wineenv.to_windows_path(stop), wineenv.to_windows_path(keep)]
            + [self.on_disk(path) for path in held]
            + ["--timeout", str(seconds)],
            env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        session = Session(keeper)
        try:
            if not _printed(keeper, "ready", 120):
                raise RuntimeError("the process keeping the Wine session "
                                   "did not start or hold its files (exit "
                                   f"{keeper.poll()})")
            yield session
        finally:
            open(stop, "wb").close()
            try:
                keeper.wait(timeout=30)
            except subprocess.TimeoutExpired:
                keeper.kill()
                keeper.wait()
            keeper.stdout.close()
            session.exit_code = keeper.returncode

    def finish(self, timeout=30):
        """Waits until every Wine process of the machine has ended, so that
        its files and registry are final. Returns the box a leftover process
        still shows (the process is killed), or None."""
        code = wineenv.run_quiet(["wineserver", "-w"], self.env, timeout,
                                 logfile=self.log)
        if code is not None:
            self._check_template()
            return None
        box = self.answer("read", timeout=2)
        self.screenshot("leftover")
        self.kill()
        return box or Box("", (), False, "(a process still ran, no box)")

    def _check_template(self):
        links = wineenv.outward_links(self.prefix)
        if links:
            raise AssertionError(
                f"the prefix links out of drive_c again: {links[:3]}")
        damaged = wineenv.damaged_template_files(self.prefix)
        if damaged:
            raise AssertionError(
                "the run wrote into files shared with the template prefix "
                f"(the next run rebuilds it): {damaged[:5]}; call "
                "unshare() on such files before the run")

    def kill(self):
        wineenv.run_quiet(["wineserver", "-k"], self.env, 30)
        wineenv.run_quiet(["wineserver", "-w"], self.env, 30)

    def screenshot(self, name):
        path = os.path.join(self.dir, name + ".png")
        wineenv.run_quiet(["import", "-window", "root", "-display",
                           self.env["DISPLAY"], path], self.env, 20)
        return path

    # ----------------------------------------------------------- helpers

    def _scratch(self, stem, suffix):
        self._counter += 1
        return os.path.join(self.dir, f"{self._counter:02d}-{stem}{suffix}")

    def _wine(self, args, timeout=120):
        code = wineenv.run_quiet(["wine"] + args, self.env, timeout,
                                 cwd=self.dir, logfile=self.log)
        if code is None:
            raise TimeoutError(f"wine {args} did not end in {timeout} s")
        return code
