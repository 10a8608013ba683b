// Checks a control file as the program will read it. The file's lines come
// from the checker's own reading (ini_document.h), which knows where each
// value stands; what the program reads and acts on comes from the program's
// own readers and guards over the same file (run_cursor.h), so the two
// cannot part without a finding or a failing agreement test.
#pragma once

#include "seldchk/findings.h"
#include "seldchk/ini_document.h"
#include "seldchk/run_places.h"

struct CheckContext {
  const IniDocument* doc;  // the file as the machine's reading takes it
  const char* readPath;    // through which the program's readers read it
  const Directories* directories;
  const RunPlaces* places;  // the current directory is the plan place's
  Findings* findings;
};

// Adds every finding about the file to ctx.findings.
void CheckControlFile(const CheckContext& ctx);
