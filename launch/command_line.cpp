#include "launch/command_line.h"
// Not built yet.
const char* SkipProgramName(const char* commandLine) { return commandLine; }
void ParseCommandLine(const char*, CommandOptions* options) { *options = {}; }
