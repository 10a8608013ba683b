// The wildcard table under tests/data/find, shared by the fake machine's
// unit test and the Win32 program that runs the same patterns against the
// system's own FindFirstFileA / FindNextFileA in a directory of the same
// content.
//
// patterns.tsv: one record a line, tab-separated; lines that are empty or
// begin with '#' are skipped.
//   entry  NAME                  a file of the searched directory, a
//                                directory when NAME ends with '\'
//   match  PATTERN  NAMES        what the system finds for PATTERN
//   match  PATTERN  NAMES  FAKE  RULE
//                                the system finds NAMES; the fake machine
//                                finds FAKE on purpose, following the
//                                Windows 95 rule that RULE names
// NAMES: the names found, separated by blanks, in any order ("." and ".."
// included), or "-" when the search finds nothing. A search that finds "."
// or ".." must return them before any other name.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tests/unit/fake/ini_table.h"

namespace findtable {

struct Entry {
  std::string name;
  bool dir = false;
};

struct Row {
  int line = 0;
  std::string pattern;
  std::string system;  // NAMES as written
  std::string fake;    // FAKE as written; empty when the fake agrees
  std::string rule;    // the Windows 95 rule the fake follows
};

struct Table {
  std::vector<Entry> entries;
  std::vector<Row> rows;
};

inline std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Names in a canonical order: letter case ignored, then as written.
inline std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) {
              std::string ua = Upper(a), ub = Upper(b);
              return ua != ub ? ua < ub : a < b;
            });
  return names;
}

inline std::vector<std::string> SplitNames(const std::string& text) {
  std::vector<std::string> names;
  if (text == "-") return names;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) names.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

inline std::string JoinNames(const std::vector<std::string>& names) {
  if (names.empty()) return "-";
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : " ") + n;
  return out;
}

// Reads the table; on a malformed line sets *error naming it.
inline bool Load(const std::string& tsvPath, Table* table,
                 std::string* error) {
  std::vector<initable::TsvLine> lines;
  if (!initable::ReadTsvLines(tsvPath, &lines)) {
    *error = "cannot read " + tsvPath;
    return false;
  }
  for (const initable::TsvLine& tsv : lines) {
    const int lineNo = tsv.number;
    const std::vector<std::string>& f = tsv.fields;
    bool entryOk = f[0] == "entry" && f.size() == 2 && !f[1].empty();
    bool matchOk = f[0] == "match" && (f.size() == 3 || f.size() == 5) &&
                   !f[1].empty() && !f[2].empty() &&
                   (f.size() == 3 || (!f[3].empty() && !f[4].empty()));
    if (!entryOk && !matchOk) {
      *error = "patterns.tsv line " + std::to_string(lineNo) +
               ": want \"entry NAME\", \"match PATTERN NAMES\" or \"match "
               "PATTERN NAMES FAKE RULE\", tab-separated";
      return false;
    }
    if (entryOk) {
      Entry e;
      e.dir = f[1].back() == '\\';
      e.name = e.dir ? f[1].substr(0, f[1].size() - 1) : f[1];
      table->entries.push_back(e);
      continue;
    }
    Row row;
    row.line = lineNo;
    row.pattern = f[1];
    row.system = f[2];
    if (f.size() == 5) {
      row.fake = f[3];
      row.rule = f[4];
    }
    table->rows.push_back(row);
  }
  return true;
}

inline std::string Name(const Row& row) {
  return "patterns.tsv line " + std::to_string(row.line) + " (" +
         row.pattern + ")";
}

// Compares the names a search returned, in their order, with the expected
// NAMES text; "" when they match.
inline std::string Check(const Row& row, const std::string& expected,
                         const std::vector<std::string>& found) {
  size_t dots = 0;
  while (dots < found.size() && (found[dots] == "." || found[dots] == "..")) {
    ++dots;
  }
  for (size_t i = dots; i < found.size(); ++i) {
    if (found[i] == "." || found[i] == "..") {
      return Name(row) + ": \"" + found[i] + "\" after other names: " +
             JoinNames(found);
    }
  }
  std::string got = JoinNames(Sorted(found));
  std::string want = JoinNames(Sorted(SplitNames(expected)));
  if (got != want) {
    return Name(row) + ": expected " + want + ", got " + got;
  }
  return std::string();
}

}  // namespace findtable
