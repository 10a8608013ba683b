// The native checker's host machine answers from what it was given: the
// directories by the Win32 convention, the one file by the INI rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/host/host_machine.h"
#include "platform/platform.h"

namespace {

const char kIni[] = "[S]\nk=value\n";

TEST(HostMachine, AnswersFromWhatItWasGiven) {
  struct Row {
    const char* label;
    const char* currentDir;
    uint32_t (*call)(char*, uint32_t);
    uint32_t size;
    uint32_t result;
    std::string text;  // what the buffer holds afterwards
  };
  const Row rows[] = {
      {"Windows directory", nullptr, plat::WindowsDirectory, 11, 10,
       "C:\\WINDOWS"},
      {"Windows directory, one byte short", nullptr, plat::WindowsDirectory,
       10, 11, "untouched"},
      {"system directory", nullptr, plat::SystemDirectory, 18, 17,
       "C:\\WINDOWS\\SYSTEM"},
      {"no current directory", nullptr, plat::CurrentDirectory, 64, 0,
       "untouched"},
      {"current directory given", "C:\\DISK", plat::CurrentDirectory, 8, 7,
       "C:\\DISK"},
      {"current directory, one byte short", "C:\\DISK",
       plat::CurrentDirectory, 7, 8, "untouched"},
      {"temporary directory below the Windows directory", nullptr,
       plat::TempDirectory, 64, 16, "C:\\WINDOWS\\TEMP\\"},
      {"base of a relative path", "C:\\DISK",
       [](char* out, uint32_t size) { return plat::FullPathName(".", out, size); },
       64, 7, "C:\\DISK"},
      {"base of \\NAME: the root", "C:\\DISK",
       [](char* out, uint32_t size) { return plat::FullPathName("\\", out, size); },
       64, 3, "C:\\"},
      {"base of D:NAME: the root of D:", "C:\\DISK",
       [](char* out, uint32_t size) { return plat::FullPathName("d:", out, size); },
       64, 3, "d:\\"},
      {"no current directory: no base", nullptr,
       [](char* out, uint32_t size) { return plat::FullPathName("C:", out, size); },
       64, 0, "untouched"},
  };
  for (const Row& row : rows) {
    host::UseMachine({"C:\\SELDCHK\\SELDUNAX.INI", kIni, strlen(kIni),
                      ProfileReading::Windows95, "C:\\WINDOWS",
                      "C:\\WINDOWS\\SYSTEM", row.currentDir});
    char buffer[64] = "untouched";
    EXPECT_EQ(row.call(buffer, row.size), row.result) << row.label;
    EXPECT_EQ(std::string(buffer), row.text) << row.label;
  }
}

TEST(HostMachine, ReadsTheOneFileOnly) {
  host::UseMachine({"C:\\SELDCHK\\SELDUNAX.INI", kIni, strlen(kIni),
                    ProfileReading::Windows95, "C:\\WINDOWS",
                    "C:\\WINDOWS\\SYSTEM", nullptr});
  struct Row {
    const char* path;
    const char* text;
  };
  const Row rows[] = {{"C:\\SELDCHK\\SELDUNAX.INI", "value"},
                      {"c:\\seldchk\\seldunax.ini", "value"},
                      {"C:\\SELDCHK\\OTHER.INI", "default"}};
  for (const Row& row : rows) {
    char buffer[16];
    plat::ReadProfileString("S", "k", "default", buffer, sizeof buffer,
                            row.path);
    EXPECT_STREQ(buffer, row.text) << row.path;
  }
}

}  // namespace
