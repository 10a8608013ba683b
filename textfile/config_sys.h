// EMM386.EXE into the Windows directory and the CONFIG.SYS line that loads it.
#pragma once

#include "textfile/line_file.h"

// Copies C:\VANTORIS\DOS\EMM386.EXE into the Windows directory unless one is
// already there.
void RestoreEmm386();

// Points the first DEVICE/DEVICEHIGH line of C:\CONFIG.SYS that names
// EMM386.EXE, and every later one that loads C:\VANTORIS\DOS\EMM386.EXE,
// at the Windows directory's copy, keeping their options, and writes the
// file back. Does nothing when the Windows directory has no EMM386.EXE.
void FixConfigSys();

// Replaces the first line that loads EMM386.EXE as a driver (DEVICE,
// DEVICEHIGH, with or without "?"), and every later one that loads
// C:\VANTORIS\DOS\EMM386.EXE, by newStart followed by the text after the
// line's first "EMM386.EXE".
void ReplaceMemoryManagerLine(LineArray lines, int count,
                              const char* newStart);
