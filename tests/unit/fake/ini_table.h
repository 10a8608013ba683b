// The INI look-up table under tests/data/ini, shared by the fake machine's
// unit test and the Win32 program that runs the same rows against the
// system's own GetPrivateProfileStringA.
//
// lookups.tsv: one row a line, tab-separated:
//   file  section  key  default  size  expected  [on Windows 95]
// expected is what the NT family and Wine give, which the system's own
// reader is held to under Wine; the seventh field, where it is given, what
// Windows 95 gives where its reading differs (platform/profile/
// profile_text.h). Lines that are empty or begin with '#' are skipped. In the text fields
// "\t", "\r", "\n", "\s" (a blank, to show trailing ones) and "\\" stand for
// themselves; a default of "\N" alone is a null pointer. The look-up must
// store expected (zero-terminated) and return its length, and must leave
// every byte from index size on untouched.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace initable {

struct Row {
  int line = 0;
  std::string file;
  std::string section;
  std::string key;
  std::string def;
  bool defNull = false;
  unsigned size = 0;
  std::string expected;         // the NT family's and Wine's
  std::string expectedWindows95;
};

// Buffer used for a look-up: larger than any size in the table, filled
// with a guard byte so that writes past size show.
constexpr unsigned kBufferSize = 600;
constexpr char kGuard = '\x7e';

inline std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    switch (c) {
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 's': out += ' '; break;
      default: out += c; break;
    }
  }
  return out;
}

// Text made printable for a failure message.
inline std::string Show(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    char hex[8];
    if (c == '\t') out += "\\t";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\\') out += "\\\\";
    else if (c < 32 || c > 126) {
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else out += static_cast<char>(c);
  }
  return out + "\"";
}

// Whole file as bytes; false when it cannot be read.
inline bool ReadAll(const std::string& path, std::string* data) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  data->clear();
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data->append(buf, n);
  std::fclose(f);
  return true;
}

inline std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos
                                            ? std::string::npos
                                            : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

// One data line of a tab-separated table: its number and its fields.
struct TsvLine {
  int number;
  std::vector<std::string> fields;
};

// The lines of a table that are neither empty nor comments ("#"); false
// when the file cannot be read.
inline bool ReadTsvLines(const std::string& tsvPath,
                         std::vector<TsvLine>* lines) {
  std::string data;
  if (!ReadAll(tsvPath, &data)) return false;
  int lineNo = 0;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string line = data.substr(start, end - start);
    start = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    lines->push_back({lineNo, SplitTabs(line)});
  }
  return true;
}

// A directory argument of a Win32 probe as a Windows path ending in "\":
// a host path ("/...") is reached through drive Z:.
inline std::string WindowsDir(const char* arg) {
  std::string dir = arg;
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
  for (char& c : dir) {
    if (c == '/') c = '\\';
  }
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

// Reads the table; on a malformed row sets *error naming the line.
inline bool Load(const std::string& tsvPath, std::vector<Row>* rows,
                 std::string* error) {
  std::vector<TsvLine> lines;
  if (!ReadTsvLines(tsvPath, &lines)) {
    *error = "cannot read " + tsvPath;
    return false;
  }
  for (const TsvLine& tsv : lines) {
    const int lineNo = tsv.number;
    const std::vector<std::string>& f = tsv.fields;
    if ((f.size() != 6 && f.size() != 7) || f[4].empty() ||
        std::strtoul(f[4].c_str(), nullptr, 10) >= kBufferSize) {
      *error = "lookups.tsv line " + std::to_string(lineNo) +
               ": want 6 or 7 tab-separated fields and a size below " +
               std::to_string(kBufferSize);
      return false;
    }
    Row row;
    row.line = lineNo;
    row.file = f[0];
    row.section = Unescape(f[1]);
    row.key = Unescape(f[2]);
    row.defNull = f[3] == "\\N";
    row.def = row.defNull ? std::string() : Unescape(f[3]);
    row.size = static_cast<unsigned>(std::strtoul(f[4].c_str(), nullptr, 10));
    row.expected = Unescape(f[5]);
    row.expectedWindows95 = f.size() == 7 ? Unescape(f[6]) : row.expected;
    rows->push_back(row);
  }
  return true;
}

inline std::string Name(const Row& row) {
  return "lookups.tsv line " + std::to_string(row.line) + " (" + row.file +
         " [" + row.section + "] " + row.key + ")";
}

// Compares one look-up's outcome with the row's value for the NT family
// (or, with windows95, for Windows 95); "" when it matches.
inline std::string Check(const Row& row, const char* buf, unsigned long ret,
                         bool windows95 = false) {
  const std::string& expected =
      windows95 ? row.expectedWindows95 : row.expected;
  std::string got(buf, 0);
  if (row.size > 0) {
    size_t n = 0;
    while (n < row.size && buf[n] != '\0') ++n;
    if (n == row.size) return Name(row) + ": not zero-terminated";
    got.assign(buf, n);
  }
  for (unsigned i = row.size; i < kBufferSize; ++i) {
    if (buf[i] != kGuard) {
      return Name(row) + ": wrote past size at index " + std::to_string(i);
    }
  }
  if (got != expected || ret != expected.size()) {
    return Name(row) + ": expected " + Show(expected) + " (" +
           std::to_string(expected.size()) + "), got " + Show(got) +
           " (" + std::to_string(ret) + ")";
  }
  return std::string();
}

}  // namespace initable
