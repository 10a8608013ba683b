// Start-up of SELDUNAX.EXE: a windowless GUI program linked without the C
// run-time library's start-up code and DLL. MSVCRT.DLL came with Visual
// C++ 4.2 (1996), after the first release of Windows 95, and is missing on
// many Windows 95 PCs; a program that imports it does not start there. The
// few C library functions the program uses are in c_library.cpp.
//
// Without the C run-time start-up nothing runs before this entry: no
// constructors of global objects (the program has none, and must not get
// any) and no command-line splitting (the entry does its own).
#include <windows.h>

#include "launch/entry.h"

// The linker's default entry point name for a Windows GUI program; kept
// and named when the program is optimised as a whole (no call of it is
// compiled).
extern "C" __attribute__((used, externally_visible)) void
WinMainCRTStartup() {
  // The entry's result becomes the process exit code.
  const int code = RunEntry(GetCommandLineA());
  ExitProcess(static_cast<UINT>(code));
}
