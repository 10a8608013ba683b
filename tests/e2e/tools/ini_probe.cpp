// Runs the INI look-up table (lookups.tsv and the .ini files beside it)
// against the system's own GetPrivateProfileStringA, so that the fake
// machine's reader can be held to the real one.
//
//   ini_probe <table directory>
//
// The directory may be given as a Windows path or, under Wine, as a Unix
// path ("/work/main/tests/data/ini" is read through drive Z:). Prints each
// row that differs and exits with 1 when any does, 2 when the table cannot
// be read, 0 when every row matches.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/unit/fake/ini_table.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ini_probe <table directory>\n");
    return 2;
  }
  std::string dir = initable::WindowsDir(argv[1]);
  std::vector<initable::Row> rows;
  std::string error;
  if (!initable::Load(dir + "lookups.tsv", &rows, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  int failures = 0;
  for (const initable::Row& row : rows) {
    char buf[initable::kBufferSize];
    std::memset(buf, initable::kGuard, sizeof buf);
    std::string path = dir + row.file;
    DWORD ret = GetPrivateProfileStringA(
        row.section.c_str(), row.key.c_str(),
        row.defNull ? nullptr : row.def.c_str(), buf, row.size, path.c_str());
    std::string mismatch = initable::Check(row, buf, ret);
    if (!mismatch.empty()) {
      std::printf("%s\n", mismatch.c_str());
      ++failures;
    }
  }
  std::printf("%d of %u rows differ\n", failures,
              static_cast<unsigned>(rows.size()));
  return failures ? 1 : 0;
}
