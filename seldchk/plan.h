// The run as the program would carry it out, step by step, through the
// run cursor (run_cursor.h); optionally with a look at the machine it runs
// on (device keys that match now, files and directories that exist),
// through the platform layer and without changing anything. It stops where
// an entry removes the control file the run reads, as the program's
// reading of it does.
#pragma once

#include "seldchk/ini_document.h"
#include "seldchk/output.h"
#include "seldchk/run_places.h"

struct PlanSetting {
  const IniDocument* doc;  // the file as the machine's reading takes it
  const char* readPath;    // through which the program's readers read it
  const Directories* directories;
  const RunPlaces* places;  // the current directory is the plan place's
  const char* reading;      // "as Windows 95 reads the file"
  // Where the directories come from: "assumed", "given", "this PC's".
  const char* windowsSource;
  const char* systemSource;
  bool lookAtMachine;
};

void WritePlan(const PlanSetting& setting, Output* out);

// The same run as a table for scripts (--plan=tsv): one line for each
// thing the program does, fields separated by tabs: step (as numbered in
// the plan), action, target, source, the control file's key and its line.
// docs/control-file.md describes each action; entries the program passes
// over have no line.
void WritePlanTable(const PlanSetting& setting, Output* out);
