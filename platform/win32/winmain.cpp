// Start-up of SELDUNAX.EXE: a windowless GUI program. The entry gets the
// command line without the program's own name, and its result becomes the
// process exit code.
#include <windows.h>

#include "launch/command_line.h"
#include "launch/entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // GetCommandLineA rather than WinMain's argument: the name is skipped by
  // our own rule, the same on every system and C runtime.
  const int code = RunEntry(SkipProgramName(GetCommandLineA()));
  ExitProcess(static_cast<UINT>(code));
}
