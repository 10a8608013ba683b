// EMM386.EXE into the Windows directory and the CONFIG.SYS line that loads it.
#pragma once

#include "control/not_done.h"
#include "textfile/line_file.h"

// Copies C:\VANTORIS\DOS\EMM386.EXE into the Windows directory unless one is
// already there (or there is none to copy), whole or not at all. A copy
// that fails is noted, and its source kept.
void RestoreEmm386(NotDone* notDone);

// Points the first DEVICE/DEVICEHIGH line of C:\CONFIG.SYS that names
// EMM386.EXE, and every later one that loads C:\VANTORIS\DOS\EMM386.EXE,
// at the Windows directory's copy, keeping their options, and writes the
// file back. Does nothing to the file when the Windows directory has no
// whole EMM386.EXE (one that is not a part of the saved copy). When the
// file still loads the saved copy afterwards, or cannot be read, it is
// noted as not changed and the saved copy is kept; so is a file whose
// changed lines could not be written.
void FixConfigSys(NotDone* notDone);

// Replaces the first line that loads EMM386.EXE as a driver (DEVICE,
// DEVICEHIGH, with or without "?"), and every later one that loads
// C:\VANTORIS\DOS\EMM386.EXE, by newStart followed by the text after the
// line's first "EMM386.EXE". Returns the number of lines replaced.
int ReplaceMemoryManagerLine(LineArray lines, int count,
                             const char* newStart);
