// The run as the program would carry it out, step by step, from what the
// checker read; optionally with a look at the machine it runs on (device
// keys that match now, files and directories that exist), through the
// platform layer and without changing anything.
#pragma once

#include <string>

#include "seldchk/checker.h"

std::string DescribePlan(const ControlRead& read,
                         const Directories& directories, bool lookAtMachine);

// The same run as a table for scripts (--plan=tsv): one line for each
// thing the program does, fields separated by tabs: step (as numbered in
// DescribePlan), action, target, source, the control file's key and its
// line. docs/control-file.md describes each action; entries the program
// passes over have no line.
std::string PlanTable(const ControlRead& read, const Directories& directories);
