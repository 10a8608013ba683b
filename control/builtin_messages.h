// The program's own texts, shown when the control file does not replace them.
#pragma once

#define VANTORIS_TITLE "VANTORIS Uninstall"

#define MSG_NO_CONTROL_FILE                                                   \
  "The VANTORIS Uninstall program could not find the specified .INI "       \
  "file.\nTry running the CLEANOUT.BAT batch file from the Windows 95 "      \
  "driver installation disk that came with your sound card."

#define MSG_NO_DEVEJECT                                                       \
  "The VANTORIS Uninstall program could not find DEVEJECT.EXE. This file "  \
  "is required and must be in the current directory.\nTry running the "     \
  "CLEANOUT.BAT batch file from your the Windows 95 driver installation "   \
  "disk that came with your sound card."

#define MSG_CONFIRM_FULL                                                      \
  "This program will remove the device drivers and all associated "         \
  "software for your sound card and REBOOT your PC.\nYou should close any " \
  "other applications before proceeding.\n\nAre you sure you want to "      \
  "continue?"

#define MSG_CONFIRM_POSTINSTALL                                               \
  "This program will remove registry entries so that Windows 95 will "      \
  "recognize the VANTORIS card and install drivers for it. This program "   \
  "will REBOOT your PC.\nYou should close any other applications before "   \
  "proceeding.\n\nAre you sure you want to continue?"

#define MSG_REBOOT_NOW                                                        \
  "Please reboot the system and run Windows to complete VANTORIS Uninstall."

#define MSG_COPY_EXE_FAILED "Error copying SELDUNAX.EXE to temp directory."
#define MSG_COPY_INI_FAILED "Error copying SELDUNAX.INI to temp directory."
#define MSG_COPY_DEVEJECT_FAILED "Error copying DEVEJECT.EXE to temp directory."
#define MSG_SWITCH_TEMP_FAILED "Error switching to temp directory."

// The closing box's own lines after the closing text, when steps could not
// be done (control/not_done.cpp): a heading, one line per step described,
// and the count of the rest.
#define MSG_NOT_DONE "\n\nThese steps could not be done:"
#define MSG_NOT_CHANGED "\nNot changed: "
#define MSG_NOT_COPIED "\nNot copied: "
#define MSG_KEPT "\nKept: "
#define MSG_NOT_DELETED "\nNot deleted: "
#define MSG_MORE_BEFORE "\n... and "
#define MSG_MORE_AFTER " more."
