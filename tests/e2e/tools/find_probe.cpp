// Runs the wildcard table (tests/data/find/patterns.tsv) against the
// system's own FindFirstFileA / FindNextFileA, so that the fake machine's
// file search can be held to the real one: lays out the table's directory
// below the temporary directory, searches it with every pattern and
// compares the names found with the table's.
//
//   find_probe <table directory> [--print]
//
// The directory may be given as a Windows path or, under Wine, as a Unix
// path (read through drive Z:). --print writes each pattern and what the
// system found, tab-separated, instead of comparing. Exits with 1 when any
// row differs, 2 when the table cannot be read or the directory cannot be
// laid out, 0 when every row matches.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/unit/fake/find_table.h"

namespace {

// A new directory below the temporary directory holding the table's
// entries; "" when it cannot be made (or already exists).
std::string LayOut(const std::vector<findtable::Entry>& entries) {
  char temp[MAX_PATH];
  DWORD len = GetTempPathA(sizeof temp, temp);
  if (len == 0 || len >= sizeof temp) return std::string();
  std::string dir = std::string(temp) + "find_table";
  if (!CreateDirectoryA(dir.c_str(), nullptr)) return std::string();
  for (const findtable::Entry& e : entries) {
    std::string path = dir + "\\" + e.name;
    bool made;
    if (e.dir) {
      made = CreateDirectoryA(path.c_str(), nullptr) != 0;
    } else {
      HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      made = h != INVALID_HANDLE_VALUE;
      if (made) CloseHandle(h);
    }
    if (!made) {
      std::fprintf(stderr, "cannot create %s\n", path.c_str());
      return std::string();
    }
  }
  return dir;
}

std::vector<std::string> Search(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  bool print = argc == 3 && std::strcmp(argv[2], "--print") == 0;
  if (argc != 2 && !print) {
    std::fprintf(stderr, "usage: find_probe <table directory> [--print]\n");
    return 2;
  }
  findtable::Table table;
  std::string error;
  if (!findtable::Load(initable::WindowsDir(argv[1]) + "patterns.tsv", &table,
                       &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  std::string dir = LayOut(table.entries);
  if (dir.empty()) {
    std::fprintf(stderr, "cannot lay out the searched directory\n");
    return 2;
  }
  int failures = 0;
  for (const findtable::Row& row : table.rows) {
    std::vector<std::string> found = Search(dir + "\\" + row.pattern);
    if (print) {
      std::printf("%s\t%s\n", row.pattern.c_str(),
                  findtable::JoinNames(findtable::Sorted(found)).c_str());
      continue;
    }
    std::string mismatch = findtable::Check(row, row.system, found);
    if (!mismatch.empty()) {
      std::printf("%s\n", mismatch.c_str());
      ++failures;
    }
  }
  if (!print) {
    std::printf("%d of %u rows differ\n", failures,
                static_cast<unsigned>(table.rows.size()));
  }
  return failures ? 1 : 0;
}
