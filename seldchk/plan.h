// The run as the program would carry it out, step by step, from what the
// checker read; optionally with a look at the machine it runs on (device
// keys that match now, files and directories that exist), through the
// platform layer and without changing anything.
#pragma once

#include <string>

#include "seldchk/checker.h"

std::string DescribePlan(const ControlRead& read,
                         const Directories& directories, bool lookAtMachine);
