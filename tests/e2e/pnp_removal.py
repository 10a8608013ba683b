"""The card's ISA Plug and Play devices taken out of the registry: exactly
the listed device keys and their class driver keys go, the release tool runs
once per released device node while that node's class driver key is still
there, and every other key stays as it was."""

import os
from dataclasses import dataclass

from e2e import scenario
import texts

DISK = "C:\\DISK"
TOOL_LOG = "C:\\deveject.log"  # recording_deveject.exe's default log
FIXTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                       "pnp_machine.reg")

HKLM = "HKEY_LOCAL_MACHINE"
ISAPNP = HKLM + "\\Enum\\ISAPNP"
CLASS = HKLM + "\\System\\CurrentControlSet\\Services\\Class"
# Exported before and after each run: the devices, and every service and
# class driver key.
WATCHED = (HKLM + "\\Enum", HKLM + "\\System\\CurrentControlSet\\Services")

CONTROL = {"pnpids": ["VNT2300_DEV", "VNT2301"]}

REMOVED = [ISAPNP + "\\VNT2300_DEV0000", ISAPNP + "\\VNT2300_DEV0001",
           ISAPNP + "\\VNT2301", CLASS + "\\MEDIA\\0003",
           CLASS + "\\MEDIA\\0004", CLASS + "\\MEDIA\\0005",
           CLASS + "\\MEDIA\\0006"]

# One line per run of the release tool: its argument, and whether the class
# driver key holding that device node was still there while it ran.
RELEASED = ["0\tpresent", "2f\tpresent", "30\tpresent", "ffffffff\tpresent"]


def export(m):
    keys = {}
    for root in WATCHED:
        keys.update(m.export_reg(root) or {})
    return keys


def without(keys, removed):
    def gone(key):
        return any(key.lower() == r.lower() or
                   key.lower().startswith(r.lower() + "\\") for r in removed)
    return {key: values for key, values in keys.items() if not gone(key)}


def differences(actual, expected):
    lines = [f"  left over: {k}" for k in sorted(set(actual) - set(expected))]
    lines += [f"  missing:   {k}" for k in sorted(set(expected) - set(actual))]
    lines += [f"  changed:   {k}: {actual[k]!r}, was {expected[k]!r}"
              for k in sorted(set(actual) & set(expected))
              if actual[k] != expected[k]]
    return "\n".join(lines)


def tool_runs(m):
    if not m.exists(TOOL_LOG):
        return []
    return sorted(m.read_text(TOOL_LOG).splitlines())


@dataclass
class Case:
    name: str
    args: list
    confirm: str        # text of the confirmation box
    answer: str         # "yes" or "no"
    deveject: str       # release tool beside the program (Machine names)


CASES = [
    Case("post_install_yes_removes_the_card", ["/POSTw95", "SELDUNAX.INI"],
         texts.CONFIRM_POSTINSTALL, "yes", "recording"),
    Case("post_install_no_changes_nothing", ["SELDUNAX.INI", "/POSTw95"],
         texts.CONFIRM_POSTINSTALL, "no", "recording"),
    Case("full_mode_yes_removes_the_card", ["SELDUNAX.INI"],
         texts.CONFIRM_FULL, "yes", "recording"),
    Case("post_install_with_the_shipped_release_tool",
         ["/POSTw95", "SELDUNAX.INI"], texts.CONFIRM_POSTINSTALL, "yes",
         "built"),
]


@scenario.table(CASES, timeout=240)
def pnp_removal(m, case):
    m.install_program(DISK, deveject=case.deveject)
    m.write_ini(DISK + "\\SELDUNAX.INI", CONTROL)
    with open(FIXTURE, newline="") as f:
        m.import_reg(f.read().replace("\r\n", "\n").replace("\n", "\r\n"))
    before = export(m)
    for key in REMOVED + [ISAPNP + "\\PNPB003", CLASS + "\\MEDIA\\0000"]:
        if key not in before:
            raise AssertionError(f"the fixture did not import {key}")

    released = case.answer == "yes"
    answers = [case.answer, "ok"] if released else [case.answer]
    boxes = [(case.confirm, "YES NO")]
    if released:
        boxes.append((texts.REBOOT_NOW, "OK"))
    result = m.run(DISK, case.args, answers=answers)
    scenario.expect_run(result, 0, boxes)
    leftover = m.finish()
    if leftover:
        raise AssertionError(f"a box showed after the run: {leftover}")

    after = export(m)
    expected = without(before, REMOVED) if released else before
    if after != expected:
        raise AssertionError("registry after the run:\n" +
                             differences(after, expected))
    if case.deveject == "recording":
        scenario.expect_equal(tool_runs(m), RELEASED if released else [],
                              "release tool runs")


if __name__ == "__main__":
    scenario.main()
