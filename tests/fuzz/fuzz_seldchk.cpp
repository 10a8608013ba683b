// Fuzz target: the control-file checker against the program's reader. The
// input is a control file's bytes; on the fake machine holding them:
//   - every value the checker's own reading finds (every key of every
//     section, and the numbered keys the program asks for) equals what the
//     platform's private-profile reader returns for that section and key;
//   - the paths the checker reports for [delete], [multdel] and [deltree]
//     are those the program's list reader hands on, in order;
//   - the whole check runs without fault (under the sanitizers), for the
//     usual Windows directory and one that leaves little room.
#include <string>
#include <vector>

#include "control/control_file.h"
#include "control/path_helpers.h"
#include "platform/fake/fake_machine.h"
#include "platform/platform.h"
#include "seldchk/checker.h"
#include "seldchk/ini_document.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const char kControlPath[] = "C:\\DISK\\SELDUNAX.INI";

// The reader's whole value: a buffer larger than the file.
std::string ReaderValue(const std::string& section, const std::string& key,
                        std::vector<char>* buffer) {
  plat::ReadProfileString(section.c_str(), key.c_str(), "", buffer->data(),
                          static_cast<uint32_t>(buffer->size()), kControlPath);
  buffer->back() = '\0';
  return buffer->data();
}

bool HasNul(const std::string& text) {
  return text.find('\0') != std::string::npos;
}

void CheckValue(const IniDocument& doc, const std::string& section,
                const std::string& key, std::vector<char>* buffer) {
  if (HasNul(section) || HasNul(key)) return;  // no C-string caller asks so
  std::string mine = LookUp(doc, section, key);
  std::string reader = ReaderValue(section, key, buffer);
  FUZZ_CHECK(mine == reader, "[%s] %s: checker read \"%s\", reader \"%s\"",
             section.c_str(), key.c_str(), mine.c_str(), reader.c_str());
}

void CheckEveryValue(const IniDocument& doc, std::vector<char>* buffer) {
  std::vector<std::string> sections = {"pnpids", "copy", "delete", "multdel",
                                       "deltree", "REBOOTNOW"};
  size_t keys = 0;
  for (const IniSection& section : doc.sections) {
    sections.push_back(section.name);
    keys += section.keys.size();
    for (const IniKey& key : section.keys) {
      CheckValue(doc, section.name, key.name, buffer);
    }
  }
  // The numbered keys the program asks for, there or not.
  int last = static_cast<int>(keys < 40 ? keys : 40) + 2;
  for (const std::string& section : sections) {
    for (int n = 0; n <= last; ++n) {
      for (const char* prefix : {"", "FROM", "TO"}) {
        CheckValue(doc, section, prefix + std::to_string(n), buffer);
      }
    }
  }
}

void CheckListPaths(const char* section, const std::vector<ReadEntry>& entries) {
  std::vector<std::string> program;
  ListPathCursor cursor = StartListPaths(kControlPath, section);
  char path[kPathSize];
  while (NextListPath(&cursor, path)) program.push_back(path);
  std::vector<std::string> checker;
  for (const ReadEntry& entry : entries) {
    if (!entry.path.empty()) checker.push_back(entry.path);
  }
  FUZZ_CHECK(checker == program, "[%s]: the checker has %zu paths, the "
             "program %zu", section, checker.size(), program.size());
}

void CheckWholeRun(const IniDocument& doc, const Directories& directories) {
  fake::SetWindowsDir(directories.windows);
  fake::SetSystemDir(directories.system);
  Findings findings;
  ControlRead read =
      CheckControlFile(doc, kControlPath, directories, &findings);
  CheckListPaths("delete", read.deletes);
  CheckListPaths("multdel", read.multdels);
  CheckListPaths("deltree", read.deltrees);
  for (const Finding& finding : findings.items) {
    FUZZ_CHECK(finding.line >= 0 && !finding.text.empty(), "empty finding");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string ini(reinterpret_cast<const char*>(data), size);
  fake::Reset();
  fake::AddFile(kControlPath, ini);
  std::vector<char> buffer(size + 2);
  IniDocument doc = ParseIni(ini);
  CheckEveryValue(doc, &buffer);
  Directories usual;
  CheckWholeRun(doc, usual);
  Directories deep;
  deep.windows = "C:\\" + std::string(230, 'W');
  deep.system = deep.windows + "\\SYSTEM";
  CheckWholeRun(doc, deep);
  fake::Reset();
  return 0;
}
