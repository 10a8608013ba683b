// One check of a control file, shared by the native program (seldchk) and
// the Windows one (SELDCHK.EXE): reads it as Windows 95 and as the NT
// family read it, checks it as the machine's reading takes it, and writes
// the findings and the plan to the standard streams.
#pragma once

#include <cstddef>

#include "platform/profile/profile_text.h"
#include "seldchk/command.h"

struct CheckInput {
  const CommandLine* command;
  const char* bytes;  // the control file's bytes
  size_t size;
  const char* readPath;  // through which the program's readers read it
  // The directory that holds it, where the program is started unless --cwd
  // says otherwise; null when the checker cannot tell (natively).
  const char* fileDirectory;
  ProfileReading reading;  // the machine's reading (--system, or the system's)
  // The Windows and system directories not given come from this PC (else
  // they are assumed: the platform's, as the native checker was given).
  bool thisPc;
  bool lookAtMachine;  // --plan looks at the machine too
};

// Returns the exit code: 0 clean, 1 warnings, 2 errors (or any finding with
// --werror), kCannotRead when the check cannot be made.
int CheckFile(const CheckInput& input);
