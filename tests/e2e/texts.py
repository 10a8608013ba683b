"""The program's built-in message texts, written out independently of the
program's sources so that a changed text shows up as a failure."""

NO_CONTROL_FILE = (
    "The VANTORIS Uninstall program could not find the specified .INI file.\n"
    "Try running the CLEANOUT.BAT batch file from the Windows 95 driver "
    "installation disk that came with your sound card.")

NO_DEVEJECT = (
    "The VANTORIS Uninstall program could not find DEVEJECT.EXE. This file "
    "is required and must be in the current directory.\n"
    "Try running the CLEANOUT.BAT batch file from your the Windows 95 driver "
    "installation disk that came with your sound card.")

CONFIRM_FULL = (
    "This program will remove the device drivers and all associated software "
    "for your sound card and REBOOT your PC.\n"
    "You should close any other applications before proceeding.\n\n"
    "Are you sure you want to continue?")

CONFIRM_POSTINSTALL = (
    "This program will remove registry entries so that Windows 95 will "
    "recognize the VANTORIS card and install drivers for it. This program "
    "will REBOOT your PC.\n"
    "You should close any other applications before proceeding.\n\n"
    "Are you sure you want to continue?")

REBOOT_NOW = ("Please reboot the system and run Windows to complete VANTORIS "
              "Uninstall.")

COPY_EXE_FAILED = "Error copying SELDUNAX.EXE to temp directory."
COPY_INI_FAILED = "Error copying SELDUNAX.INI to temp directory."
COPY_DEVEJECT_FAILED = "Error copying DEVEJECT.EXE to temp directory."
SWITCH_TEMP_FAILED = "Error switching to temp directory."


def closing_not_done(steps, closing=REBOOT_NOW):
    """The closing message followed by the program's lines on the steps not
    done: the first three, and a count for the rest."""
    if not steps:
        return closing
    lines = [closing + "\n", "These steps could not be done:"] + steps[:3]
    if len(steps) > 3:
        lines.append(f"... and {len(steps) - 3} more.")
    return "\n".join(lines)
