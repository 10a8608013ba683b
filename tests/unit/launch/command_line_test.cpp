// The start-up stripping of the program name, the switch/argument grammar
// and the install-directory test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "launch/command_line.h"
#include "launch/install_dir.h"

namespace {

TEST(SkipProgramName, LeavesTheTextAfterTheNameAndItsBlanks) {
  struct Row {
    const char* line;
    const char* rest;
  };
  const Row rows[] = {
      {"\"C:\\Program Files\\SELDUNAX.EXE\" SELDUNAX.INI", "SELDUNAX.INI"},
      {"SELDUNAX.EXE SELDUNAX.INI", "SELDUNAX.INI"},
      {"SELDUNAX.EXE\t\x01\x1f  SELDUNAX.INI", "SELDUNAX.INI"},
      {"SELDUNAX.EXE\tA.INI", "A.INI"},
      {"", ""},
      {"SELDUNAX.EXE", ""},
      {"SELDUNAX.EXE   ", ""},
      {"\"SELDUNAX.EXE\"", ""},
      {"\"SELDUNAX.EXE\"A.INI", "A.INI"},
      {"\"C:\\DISK\\SELDUNAX.EXE", ""},
      {"SELD\"UNAX.EXE A.INI", "A.INI"},
      {"SELD\"UN AX.EXE\" A.INI", "AX.EXE\" A.INI"},
      {"SELDUNAX.EXE \xE9.INI", "\xE9.INI"},
      {"SELDUNAX.EXE A.INI  /POSTw95 ", "A.INI  /POSTw95 "},
  };
  for (const Row& row : rows) {
    EXPECT_STREQ(SkipProgramName(row.line), row.rest) << "line: " << row.line;
  }
}

struct ParseRow {
  std::string text;
  int postInstall;
  std::string name;
  int tooLong;
};

TEST(ParseCommandLine, SwitchesAndPlainArguments) {
  const std::string a250(250, 'a');
  const std::string a255(255, 'a');
  const std::string a256(256, 'a');
  const ParseRow rows[] = {
      {"", 0, "", 0},
      {"   ", 0, "", 0},
      {"SELDUNAX.INI", 0, "SELDUNAX.INI", 0},
      {"/POSTw95", 1, "", 0},
      {"/POSTw95 SELDUNAX.INI", 1, "SELDUNAX.INI", 0},
      {"-postw95 SELDUNAX.INI", 1, "SELDUNAX.INI", 0},
      {"/PoStW95 SELDUNAX.INI", 1, "SELDUNAX.INI", 0},
      {"SELDUNAX.INI /POSTw95", 1, "SELDUNAX.INI", 0},
      {"/POSTw95x SELDUNAX.INI", 1, "SELDUNAX.INI", 0},
      {"/POSTw95/Q", 1, "", 0},
      {"/POST SELDUNAX.INI", 0, "SELDUNAX.INI", 0},
      {"/POSTw9 5", 0, "5", 0},
      {"/POSTw9", 0, "", 0},
      {"--POSTw95", 0, "", 0},
      {"/Q /S SELDUNAX.INI -X", 0, "SELDUNAX.INI", 0},
      {"/ POSTw95", 0, "POSTw95", 0},
      {"\\POSTw95 A.INI", 0, "\\POSTw95A.INI", 0},  // "\" is no switch
      {"POSTw95", 0, "POSTw95", 0},
      {"  A.INI   ", 0, "A.INI", 0},
      {"A.INI\t/POSTw95", 0, "A.INI\t/POSTw95", 0},
      {"\t/POSTw95", 0, "\t/POSTw95", 0},
      {"\"A B.INI\"", 0, "\"AB.INI\"", 0},
      {"A.INI B.INI", 0, "A.INIB.INI", 0},
      {a255, 0, a255, 0},
      {a256, 0, "", 1},
      {"/POSTw95 " + a256, 1, "", 1},
      {"A.INI " + a250, 0, "A.INI" + a250, 0},
      {"A.INI " + a250 + "b", 0, "A.INI", 1},
  };
  for (const ParseRow& row : rows) {
    // Junk where the fields are: every field must be written.
    CommandOptions options;
    memset(&options, 0xAB, sizeof options);
    ParseCommandLine(row.text.c_str(), &options);
    std::string label = "text: \"" + row.text.substr(0, 40) + "\"";
    EXPECT_EQ(options.postInstall, row.postInstall) << label;
    EXPECT_EQ(options.nameTooLong, row.tooLong) << label;
    ASSERT_NE(memchr(options.controlName, '\0', sizeof options.controlName),
              nullptr)
        << label;
    if (!row.tooLong) {
      EXPECT_EQ(options.controlName, row.name) << label;
    }
  }
}

TEST(IsInstallDirectory, ComparesTheFirstElevenCharactersInAnyCase) {
  struct Row {
    const char* path;
    bool install;
  };
  const Row rows[] = {
      {"C:\\VANTORIS", true},
      {"c:\\vantoris", true},
      {"c:\\vantoris\\dos", true},
      {"C:\\VANTORIS2", true},
      {"C:\\VANTORIS\\", true},
      {"D:\\VANTORIS", false},
      {"C:\\", false},
      {"C:\\VANTORI", false},
      {"", false},
      {"C:\\WINDOWS\\TEMP", false},
      {"C:/VANTORIS", false},
      {"C:\\DISK\\VANTORIS", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsInstallDirectory(row.path), row.install) << row.path;
  }
}

}  // namespace
