// The program's entry: launch checks, mode decision, exit code.
#pragma once

// Runs the program on the command text that follows its own name and
// returns the exit code: 0 done, declined or handed over; 1 no control file;
// 2 no release tool or the relaunch failed.
int RunEntry(const char* commandText);
