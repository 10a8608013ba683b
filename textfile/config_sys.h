// EMM386.EXE into the Windows directory and the CONFIG.SYS line that loads it.
#pragma once

#include "textfile/line_file.h"

// Copies C:\VANTORIS\DOS\EMM386.EXE into the Windows directory unless one is
// already there.
void RestoreEmm386();

// Points the first DEVICE/DEVICEHIGH line of C:\CONFIG.SYS that names
// EMM386.EXE at the Windows directory's copy, and writes the file back.
void FixConfigSys();

// Replaces the first line that loads EMM386.EXE as a driver by newText.
void ReplaceMemoryManagerLine(LineArray lines, int count, const char* newText);
