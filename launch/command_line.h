// The command line: the start-up stripping and the switch/argument grammar.
#pragma once

#include "control/path_helpers.h"

struct CommandOptions {
  bool postInstall;               // the post-install switch was given
  char controlName[kPathSize];    // plain argument(s); empty when none
  bool nameTooLong;               // the plain arguments did not fit
};

// Skips the program's own name (up to and including the closing double quote
// when the line begins with one, else up to the first character <= 32) and
// every following character <= 32. Returns the rest of the line.
const char* SkipProgramName(const char* commandLine);

// Splits text at spaces: "/" or "-" followed by POSTw95 (any case, first 7
// characters) sets postInstall; other switches are ignored; plain arguments
// are appended to controlName.
void ParseCommandLine(const char* text, CommandOptions* options);
