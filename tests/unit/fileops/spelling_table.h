// The table of path spellings under tests/data/paths, shared by the fake
// machine's unit test and the Win32 probe (tests/e2e/tools/platform_probe)
// that runs the same rows through the Win32 layer and holds them to what
// the system itself resolves.
//
// spellings.tsv: one record a line, tab-separated; lines that are empty or
// begin with '#' are skipped.
//   cwd   PATH     the current directory of every row
//   dir   PATH     a directory laid out before the rows (parents too)
//   file  PATH     a file laid out before the rows (parents too)
//   path  SPELLING  NORMAL  GUARD  ENTRY
//   path  SPELLING  NORMAL  GUARD  ENTRY  SYSTEM  RULE
// SPELLING is a list value as the program reads it. NORMAL is its normal
// form, or "(device)" / "(untold)" when the lists pass it over for that;
// GUARD is "held" when [deltree] passes it over, else "free"; ENTRY is the
// path that ScheduleDeleteOnReboot writes after "NUL=" for it, or "-" when
// it writes none. SYSTEM is what GetFullPathNameA makes of SPELLING where
// that differs from NORMAL, RULE why the program reads it otherwise (the
// Windows 95 rule, or the program's own); without them the system agrees.
// Letter case and a final backslash do not count when the system's answer
// is compared, nor letter case in ENTRY (the short names the system gives
// keep the case of the names on disk).
//
// In every field: "%WINDIR%" or "%WINSYS%" at the start stands for the
// Windows or system directory, "{X*n}" for n times X, "~{PATH}" for the
// short form of PATH as the system gives it (the aliases of long names
// differ from system to system).
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "fileops/list_targets.h"
#include "platform/platform.h"
#include "tests/unit/fake/ini_table.h"
#include "textfile/wininit.h"

namespace spelling {

struct Row {
  int line = 0;
  std::string spelling;
  std::string normal;
  std::string guard;
  std::string entry;
  std::string system;  // empty when the system agrees
  std::string rule;
};

struct Table {
  std::string cwd;
  std::vector<std::string> dirs;
  std::vector<std::string> files;
  std::vector<Row> rows;
};

inline bool Load(const std::string& tsvPath, Table* table,
                 std::string* error) {
  std::vector<initable::TsvLine> lines;
  if (!initable::ReadTsvLines(tsvPath, &lines)) {
    *error = "cannot read " + tsvPath;
    return false;
  }
  for (const initable::TsvLine& tsv : lines) {
    const std::vector<std::string>& f = tsv.fields;
    bool layout = (f[0] == "cwd" || f[0] == "dir" || f[0] == "file") &&
                  f.size() == 2 && !f[1].empty();
    bool row = f[0] == "path" && (f.size() == 5 || f.size() == 7);
    for (size_t i = 1; row && i < f.size(); ++i) row = !f[i].empty();
    if (!layout && !row) {
      *error = "spellings.tsv line " + std::to_string(tsv.number) +
               ": want \"cwd|dir|file PATH\" or \"path SPELLING NORMAL "
               "GUARD ENTRY [SYSTEM RULE]\", tab-separated";
      return false;
    }
    if (f[0] == "cwd") table->cwd = f[1];
    if (f[0] == "dir") table->dirs.push_back(f[1]);
    if (f[0] == "file") table->files.push_back(f[1]);
    if (!row) continue;
    Row r;
    r.line = tsv.number;
    r.spelling = f[1];
    r.normal = f[2];
    r.guard = f[3];
    r.entry = f[4];
    if (f.size() == 7) {
      r.system = f[5];
      r.rule = f[6];
    }
    table->rows.push_back(r);
  }
  return true;
}

// The index of the "}" that closes the "{" at open (braces nest).
inline size_t ClosingBrace(const std::string& text, size_t open) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    if (text[i] == '{') ++depth;
    if (text[i] == '}' && --depth == 0) return i;
  }
  return text.size();
}

// "X*n" as n times X.
inline std::string Repeat(const std::string& spec) {
  size_t star = spec.rfind('*');
  std::string out;
  long count = std::strtol(spec.c_str() + star + 1, nullptr, 10);
  for (long i = 0; i < count; ++i) out += spec.substr(0, star);
  return out;
}

inline std::string ShortForm(const std::string& path) {
  char out[600];
  uint32_t length = plat::ShortPathName(path.c_str(), out, sizeof out);
  if (length == 0 || length >= sizeof out) return "(no short form of " + path + ")";
  return out;
}

// A field with its notations worked out on the machine at hand.
inline std::string Expand(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool shortForm = text.compare(i, 2, "~{") == 0;
    if (!shortForm && text[i] != '{') {
      out += text[i++];
      continue;
    }
    size_t open = shortForm ? i + 1 : i;
    size_t close = ClosingBrace(text, open);
    std::string inner = text.substr(open + 1, close - open - 1);
    out += shortForm ? ShortForm(Expand(inner)) : Repeat(inner);
    i = close + 1;
  }
  if (out.compare(0, 4, "%WIN") != 0) return out;
  char expanded[kPathSize];
  ExpandPathMacros(expanded, kPathSize, out.c_str());
  return expanded;
}

inline std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Texts equal but for letter case and one final backslash.
inline bool SamePlace(std::string a, std::string b) {
  if (a.size() > 3 && a.back() == '\\') a.pop_back();
  if (b.size() > 3 && b.back() == '\\') b.pop_back();
  return Upper(a) == Upper(b);
}

// The "NUL=" entry of WININIT.INI in the Windows directory, "-" for none.
inline std::string EntryWritten() {
  char wininit[kPathSize];
  if (!WindowsDirectoryPath(wininit, "WININIT.INI")) return "(no WININIT.INI path)";
  plat::FileHandle file = plat::OpenForRead(wininit);
  if (file == plat::kNoFile) return "-";
  char text[1024];
  long got = plat::ReadBytes(file, text, sizeof text - 1);
  plat::CloseFile(file);
  std::string lines(text, got > 0 ? static_cast<size_t>(got) : 0);
  size_t at = lines.find("\r\nNUL=");
  if (at == std::string::npos) return "(no entry in " + lines + ")";
  size_t end = lines.find("\r\n", at + 6);
  return lines.substr(at + 6, end == std::string::npos ? end : end - at - 6);
}

struct Outcome {
  std::string normal;
  std::string guard;
  std::string entry;
};

// What the program makes of a spelling: as [delete] reads it, as [deltree]
// judges it, and the entry it writes for it (WININIT.INI is removed before
// and after).
inline Outcome Resolve(const std::string& spelling) {
  Outcome outcome;
  char normal[kPathSize];
  ListTarget target = FileTarget(spelling.c_str(), normal);
  outcome.normal = target == ListTarget::Act      ? std::string(normal)
                   : target == ListTarget::Device ? "(device)"
                                                  : "(untold)";
  char directory[kPathSize];
  outcome.guard = TreeTarget(spelling.c_str(), directory) == ListTarget::Act
                      ? "free"
                      : "held";
  char wininit[kPathSize];
  WindowsDirectoryPath(wininit, "WININIT.INI");
  plat::RemoveFile(wininit);
  outcome.entry = target == ListTarget::Act && ScheduleDeleteOnReboot(normal)
                      ? EntryWritten()
                      : "-";
  plat::RemoveFile(wininit);
  return outcome;
}

inline std::string Name(const Row& row) {
  return "spellings.tsv line " + std::to_string(row.line) + " (" +
         row.spelling + ")";
}

// What differs between the row and the outcome of its spelling; "" when
// nothing does.
inline std::string Check(const Row& row, const Outcome& got) {
  std::string problems;
  std::string normal = Expand(row.normal);
  std::string entry = Expand(row.entry);
  if (got.normal != normal) {
    problems += "\n  normal form " + got.normal + ", expected " + normal;
  }
  if (got.guard != row.guard) {
    problems += "\n  guard: " + got.guard + ", expected " + row.guard;
  }
  if (Upper(got.entry) != Upper(entry)) {
    problems += "\n  entry " + got.entry + ", expected " + entry;
  }
  return problems.empty() ? problems : Name(row) + problems;
}

}  // namespace spelling
