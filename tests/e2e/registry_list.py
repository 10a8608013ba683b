"""The card's keys elsewhere in the registry taken out by a full run's
[regdel] list: its own software keys (both roots), its Add/Remove Programs
entry and its tray program's Run value go; the Run key itself, listed too,
is kept and named in the closing box, and another program's Run value and
Uninstall entry stay."""

from e2e import scenario, snapshot
import texts

DISK = "C:\\DISK"
VERSION = "Microsoft\\Windows\\CurrentVersion"
USER = "HKEY_CURRENT_USER\\Software\\VANTORIS"

# As the control file names them: the program's own view of the registry.
RUN_KEY = "HKLM\\SOFTWARE\\" + VERSION + "\\Run"
CONTROL = {"regdel": [
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\VANTORIS\\",
    "HKLM\\SOFTWARE\\" + VERSION + "\\Uninstall\\VANTORIS",
    RUN_KEY + ",VNTMIX",
    RUN_KEY,
    "HKCU\\Software\\VANTORIS",
]}


@scenario.scenario(timeout=180)
def full_run_removes_the_listed_keys_and_value(m):
    # Laid out where the program under test finds them (m.software_key).
    software = m.software_key
    card = software + "\\VANTORIS"
    entry = software + "\\" + VERSION + "\\Uninstall\\VANTORIS"
    other_entry = software + "\\" + VERSION + "\\Uninstall\\OtherApp"
    run = software + "\\" + VERSION + "\\Run"
    m.import_reg({
        card + "\\AudioMax\\Mixer": {"Path": "C:\\VANTORIS"},
        entry: {"DisplayName": "VANTORIS AudioMax",
                "UninstallString": "C:\\VANTORIS\\SELDUNAX.EXE SELDUNAX.INI"},
        other_entry: {"DisplayName": "Other"},
        run: {"VNTMIX": "C:\\VANTORIS\\VNTMIX.EXE",
              "OtherTray": "C:\\OTHER\\TRAY.EXE"},
        USER + "\\Mixer": {"Volume": 7},
    })
    m.install_program(DISK)
    m.write_ini(DISK + "\\SELDUNAX.INI", CONTROL)
    roots = (software, "HKEY_CURRENT_USER\\Software")
    before = snapshot.registry(m, roots)

    result = m.run(DISK, ["SELDUNAX.INI"], answers=["yes", "ok"])
    scenario.expect_run(result, 0, [
        (texts.CONFIRM_FULL, "YES NO"),
        (texts.closing_not_done(["Kept: " + RUN_KEY]), "OK")])
    after = snapshot.registry(m, roots)
    m.finish()

    watched = (card, USER, entry, other_entry, run)
    diff = snapshot.RegistryDiff(before, after).only(
        lambda key: any(snapshot.below(key, top) for top in watched))
    scenario.expect_equal(
        sorted(k.lower() for k in diff.removed),
        sorted(k.lower() for k in before
               if any(snapshot.below(k.lower(), top)
                      for top in (card, USER, entry))),
        "keys removed")
    scenario.expect_equal(diff.added, [], "keys added")
    run_before = next(v for k, v in before.items() if k.lower() == run.lower())
    scenario.expect_equal(
        {k.lower(): after[k] for k in diff.changed},
        {run.lower(): {name: value for name, value in run_before.items()
                       if name != "VNTMIX"}}, "keys changed")


if __name__ == "__main__":
    scenario.main()
