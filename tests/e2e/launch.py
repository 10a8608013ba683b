"""Launch checks and the mode decision, as a user meets them: the program
started from a directory with a command line, its boxes answered."""

import sys
from dataclasses import dataclass, field

from e2e import scenario
import texts
from e2e.machine import WINDOWS_DIR

DISK = "C:\\DISK"
INSTALL = "C:\\VANTORIS"
WININIT = WINDOWS_DIR + "\\WININIT.INI"

# A control file with nothing but a harmless list, so that a run that went
# further than it should would still change nothing of note.
PLAIN_INI = {"pnpids": {"1": "VNT9999"}}

# The release tool's message assembled from control-file pieces: pieces
# join without separators, "CR" is a line feed.
EJECT_INI = {"EJCTNOTFOUND": ["DEVEJECT.EXE is", "CR", "missing",
                              ". Copy it."]}
EJECT_TEXT = "DEVEJECT.EXE is\nmissing. Copy it."

AREYOUSURE_INI = {"AREYOUSURE": ["Remove the card?", "CR", "CR", "Sure?"]}


@dataclass
class Case:
    name: str
    exit_code: int
    boxes: list                  # [(text, buttons)] in the order shown
    answers: list
    args: list = field(default_factory=lambda: ["SELDUNAX.INI"])
    command_line: str = None     # the exact command line, instead of args
    cwd: str = DISK
    ini: dict = field(default_factory=lambda: dict(PLAIN_INI))
    deveject: bool = True


CASES = [
    Case("no_control_file", 1, [(texts.NO_CONTROL_FILE, "OK")], ["ok"],
         ini=None),
    Case("empty_command_line", 1, [(texts.NO_CONTROL_FILE, "OK")], ["ok"],
         args=[]),
    Case("switch_alone", 1, [(texts.NO_CONTROL_FILE, "OK")], ["ok"],
         args=["/POSTw95"]),
    Case("both_missing_control_file_wins", 1,
         [(texts.NO_CONTROL_FILE, "OK")], ["ok"], ini=None, deveject=False),
    Case("no_deveject", 2, [(texts.NO_DEVEJECT, "OK")], ["ok"],
         deveject=False),
    Case("no_deveject_text_from_control_file", 2, [(EJECT_TEXT, "OK")],
         ["ok"], ini=EJECT_INI, deveject=False),
    Case("post_install_declined", 0,
         [(texts.CONFIRM_POSTINSTALL, "YES NO")], ["no"],
         args=["/POSTw95", "SELDUNAX.INI"]),
    Case("post_install_switch_after_name_in_install_dir", 0,
         [(texts.CONFIRM_POSTINSTALL, "YES NO")], ["no"],
         args=["SELDUNAX.INI", "-postw95"], cwd=INSTALL),
    Case("full_mode_declined", 0, [(texts.CONFIRM_FULL, "YES NO")], ["no"]),
    Case("full_mode_from_drive_root", 0, [(texts.CONFIRM_FULL, "YES NO")],
         ["no"], cwd="C:\\"),
    Case("full_mode_beside_install_dir", 0,
         [(texts.CONFIRM_FULL, "YES NO")], ["no"], cwd="C:\\VANTORI"),
    Case("full_mode_text_from_control_file", 0,
         [("Remove the card?\n\nSure?", "YES NO")], ["no"],
         ini=AREYOUSURE_INI),
    Case("short_switch_is_not_post_install", 0,
         [(texts.CONFIRM_FULL, "YES NO")], ["no"],
         args=["/POST", "SELDUNAX.INI"]),
    Case("quoted_program_path", 0,
         [(texts.CONFIRM_POSTINSTALL, "YES NO")], ["no"],
         command_line='"C:\\DISK\\SELDUNAX.EXE"  /POSTw95x SELDUNAX.INI'),
    Case("quoted_control_file_name", 1, [(texts.NO_CONTROL_FILE, "OK")],
         ["ok"], command_line='SELDUNAX.EXE "SELDUNAX.INI"'),
]


@scenario.table(CASES)
def launch(m, case):
    m.install_program(case.cwd, deveject="dummy" if case.deveject else None)
    if case.ini is not None:
        m.write_ini(case.cwd + "\\SELDUNAX.INI", case.ini)
    result = m.run(case.cwd, case.args, answers=case.answers,
                   command_line=case.command_line)
    scenario.expect_run(result, case.exit_code, case.boxes)


@dataclass
class Relaunch:
    name: str
    cwd: str
    control_file: str


# Started from the install directory or below it, the program shows nothing
# itself: it copies itself, its control file (as seldunax.ini) and the
# release tool into the temporary directory, enters the copies for deletion
# at the next start and hands over to the copy, which reads the copied
# control file and asks for the full uninstall.
RELAUNCH_CASES = [
    Relaunch("relaunch_from_install_dir", INSTALL, "CARD.INI"),
    Relaunch("relaunch_from_below_install_dir", "C:\\vantoris\\dos",
             "SELDUNAX.INI"),
    Relaunch("relaunch_from_longer_name", "C:\\VANTORIS2", "SELDUNAX.INI"),
]
RELAUNCH_COPIES = ["deveject.exe", "seldunax.exe", "seldunax.ini"]


@scenario.table(RELAUNCH_CASES)
def relaunch(m, case):
    m.install_program(case.cwd)
    m.write_ini(case.cwd + "\\" + case.control_file, AREYOUSURE_INI)
    first = m.run(case.cwd, [case.control_file])
    scenario.expect_run(first, 0, [])
    second = m.answer("no")
    if second is None:
        raise AssertionError("the copy in the temporary directory showed no box")
    problems = scenario.box_problems(second, "Remove the card?\n\nSure?",
                                     "YES NO", "the copy's box")
    copies = sorted(f.lower() for f in m.listdir(m.temp_dir))
    if copies != RELAUNCH_COPIES:
        problems.append(f"temporary directory holds {copies}")
    entered = sorted(line.lower() for line in
                     m.read_text(WININIT).splitlines()
                     if line.upper().startswith("NUL="))
    expected = sorted(f"nul={m.temp_dir}\\{name}".lower()
                      for name in RELAUNCH_COPIES)
    if entered != expected:
        problems.append(f"WININIT.INI entries {entered}, expected {expected}")
    if problems:
        raise AssertionError("\n".join(problems))


# With TEMP at a drive root the copies go to C:\ and the copy must start
# there: "C:" without the backslash would mean the current directory of
# drive C:, the install directory, where the copy would hand over again and
# again without a box. A loop shows as no box within BOX_WAIT seconds, and
# the machine is then killed.
BOX_WAIT = 20


@scenario.scenario(timeout=120)
def relaunch_with_temp_at_drive_root(m):
    m.import_reg({"HKEY_CURRENT_USER\\Environment": {"TEMP": "C:\\",
                                                     "TMP": "C:\\"}})
    m.install_program(INSTALL)
    m.write_ini(INSTALL + "\\SELDUNAX.INI", AREYOUSURE_INI)
    first = m.run(INSTALL, ["SELDUNAX.INI"], timeout=BOX_WAIT)
    scenario.expect_run(first, 0, [])
    second = m.answer("no", timeout=BOX_WAIT)
    if second is None:
        raise AssertionError(f"no box within {BOX_WAIT} s: the copy did not "
                             "start in C:\\ (handing over again and again?)")
    problems = scenario.box_problems(second, "Remove the card?\n\nSure?",
                                     "YES NO", "the copy's box")
    entered = sorted(line.lower() for line in
                     m.read_text(WININIT).splitlines()
                     if line.upper().startswith("NUL="))
    expected = sorted(f"nul=c:\\{name}" for name in RELAUNCH_COPIES)
    if entered != expected:
        problems.append(f"WININIT.INI entries {entered}, expected {expected}")
    if problems:
        raise AssertionError("\n".join(problems))


if __name__ == "__main__":
    sys.exit(scenario.main())
