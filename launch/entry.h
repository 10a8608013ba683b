// The program's entry: launch checks, mode decision, exit code.
#pragma once

// Runs the program on its whole command line, its own name first (the name
// is passed over by the program's own rule, SkipProgramName), and returns
// the exit code: 0 done, declined or handed over; 1 no control file; 2 no
// release tool or the relaunch failed.
int RunEntry(const char* commandLine);
