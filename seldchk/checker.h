// Checks a control file as the program will read it and gathers what the
// program would act on, for the plan.
//
// The file's lines come from the checker's own reading (ParseIni), which
// knows where each value stands; what the program reads comes from the
// program's own readers over the same file (through the platform layer),
// so the two cannot part without a finding or a failing agreement test.
#pragma once

#include <string>
#include <vector>

#include "seldchk/findings.h"
#include "seldchk/ini_document.h"

// The Windows and system directories that the path macros stand for.
struct Directories {
  std::string windows = "C:\\WINDOWS";
  std::string system = "C:\\WINDOWS\\SYSTEM";
};

// One value the program reads from a list.
struct ReadEntry {
  std::string key;     // as the program asks for it: "3", "FROM2"
  int line;            // where it stands in the file
  std::string value;   // as read
  std::string path;    // expanded (path lists); empty when passed over
  std::string passed;  // why the program passes it over, or ""
};

struct CopyPair {
  ReadEntry from;
  ReadEntry to;
};

struct ControlRead {
  std::vector<ReadEntry> ids;
  std::vector<CopyPair> copies;
  std::vector<ReadEntry> deletes;
  std::vector<ReadEntry> multdels;
  std::vector<ReadEntry> deltrees;
  // Message sections that give a text, with the line of their first piece.
  std::vector<std::pair<std::string, int>> messages;
};

// Checks the parsed control file doc, whose program reading goes through
// controlPath, and adds every finding to findings.
ControlRead CheckControlFile(const IniDocument& doc, const char* controlPath,
                             const Directories& directories,
                             Findings* findings);
