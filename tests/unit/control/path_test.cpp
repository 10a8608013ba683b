// Path helpers and the path macros.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "platform/fake/fake_machine.h"

namespace {

TEST(TrailingBackslash, AddAndRemove) {
  struct Row {
    const char* path;
    const char* added;
    int addedLength;
    const char* removed;
    int removedLength;
  };
  const Row rows[] = {
      {"C:\\WINDOWS", "C:\\WINDOWS\\", 11, "C:\\WINDOWS", 10},
      {"C:\\", "C:\\", 3, "C:", 2},
      {"C:\\WINDOWS\\TEMP\\", "C:\\WINDOWS\\TEMP\\", 16, "C:\\WINDOWS\\TEMP",
       15},
      {"C:\\DIR\\\\", "C:\\DIR\\\\", 8, "C:\\DIR\\", 7},
      {"C:", "C:\\", 3, "C:", 2},
  };
  for (const Row& row : rows) {
    char buffer[kPathSize];
    strcpy(buffer, row.path);
    EXPECT_EQ(AddTrailingBackslash(buffer), row.addedLength) << row.path;
    EXPECT_STREQ(buffer, row.added) << row.path;
    strcpy(buffer, row.path);
    EXPECT_EQ(RemoveTrailingBackslash(buffer), row.removedLength) << row.path;
    EXPECT_STREQ(buffer, row.removed) << row.path;
  }
}

TEST(CopyAndAppendPath, OnlyWholePathsAreStored) {
  struct Row {
    std::string start;
    std::string tail;
    bool copies;   // CopyPath(tail) into 256 bytes
    bool appends;  // AppendPath(tail) after start
  };
  const Row rows[] = {
      {"C:\\", "X", true, true},
      {"", std::string(255, 'x'), true, true},
      {"", std::string(256, 'x'), false, false},
      {"C:\\", std::string(252, 'x'), true, true},
      {"C:\\", std::string(253, 'x'), true, false},
  };
  for (const Row& row : rows) {
    char buffer[kPathSize + 1];
    memset(buffer, 'J', sizeof buffer);
    bool copied = CopyPath(buffer, kPathSize, row.tail.c_str());
    EXPECT_EQ(copied, row.copies) << row.tail.size();
    EXPECT_EQ(std::string(buffer), copied ? row.tail : "") << row.tail.size();
    EXPECT_EQ(buffer[kPathSize], 'J') << row.tail.size();

    strcpy(buffer, row.start.c_str());
    bool appended = AppendPath(buffer, kPathSize, row.tail.c_str());
    EXPECT_EQ(appended, row.appends) << row.tail.size();
    EXPECT_EQ(std::string(buffer), appended ? row.start + row.tail : row.start)
        << row.tail.size();
    EXPECT_EQ(buffer[kPathSize], 'J') << row.tail.size();
  }
}

struct MacroRow {
  std::string source;
  std::string expanded;
  bool whole;
};

TEST(ExpandPathMacros, ExpandsALeadingMacroOnly) {
  const std::string tail246 = "\\" + std::string(246, 'x');  // 247 characters
  const std::string tail243 = "\\" + std::string(243, 'x');  // 244 characters
  const MacroRow rows[] = {
      {"%WINDIR%\\SYSTEM\\X.DRV", "C:\\WINDOWS\\SYSTEM\\X.DRV", true},
      {"%WINSYS%\\X.DRV", "C:\\WINDOWS\\SYSTEM\\X.DRV", true},
      {"%WINDIR%", "C:\\WINDOWS", true},
      {"%WINDIR%X.DRV", "C:\\WINDOWSX.DRV", true},
      {"%windir%\\X.DRV", "%windir%\\X.DRV", true},
      {"%WinDir%\\X.DRV", "%WinDir%\\X.DRV", true},
      {"C:\\%WINDIR%\\X.DRV", "C:\\%WINDIR%\\X.DRV", true},
      {"%WINDIR", "%WINDIR", true},
      {"%WINDIR%\\%WINSYS%", "C:\\WINDOWS\\%WINSYS%", true},
      {"", "", true},
      // 255 characters in, 257 out: the first 255 remain.
      {"%WINDIR%" + tail246, ("C:\\WINDOWS" + tail246).substr(0, 255), false},
      // 255 characters in, 264 out.
      {"%WINSYS%" + tail243 + "yyy", ("C:\\WINDOWS\\SYSTEM" + tail243).substr(0, 255),
       false},
      // 253 characters in, exactly 255 out.
      {"%WINDIR%" + tail243 + "y", "C:\\WINDOWS" + tail243 + "y", true},
      // The shared folders: English below the Windows directory where the
      // registry names none (the fake machine names none).
      {"%STARTMENU%", "C:\\WINDOWS\\Start Menu", true},
      {"%PROGRAMS%\\VNT", "C:\\WINDOWS\\Start Menu\\Programs\\VNT", true},
      {"%DESKTOP%\\VNT.LNK", "C:\\WINDOWS\\Desktop\\VNT.LNK", true},
      {"%STARTUP%\\VNT.LNK",
       "C:\\WINDOWS\\Start Menu\\Programs\\StartUp\\VNT.LNK", true},
      {"%Programs%\\VNT", "%Programs%\\VNT", true},
      {"%PROGRAMS\\VNT", "%PROGRAMS\\VNT", true},
      {"C:\\%DESKTOP%", "C:\\%DESKTOP%", true},
      {"%STARTUP%%WINDIR%", "C:\\WINDOWS\\Start Menu\\Programs\\StartUp%WINDIR%",
       true},
      // 30 characters for the folder: 255 out exactly, and one more.
      {"%PROGRAMS%" + tail243.substr(0, 225),
       "C:\\WINDOWS\\Start Menu\\Programs" + tail243.substr(0, 225), true},
      {"%PROGRAMS%" + tail243.substr(0, 226),
       "C:\\WINDOWS\\Start Menu\\Programs" + tail243.substr(0, 225), false},
  };
  for (const MacroRow& row : rows) {
    fake::Reset();
    char dest[kPathSize + 8];
    memset(dest, 'J', sizeof dest);
    bool whole = ExpandPathMacros(dest, kPathSize, row.source.c_str());
    std::string label = row.source.substr(0, 30);
    EXPECT_EQ(whole, row.whole) << label;
    ASSERT_NE(memchr(dest, '\0', kPathSize), nullptr) << label;
    EXPECT_EQ(std::string(dest), row.expanded) << label;
    EXPECT_EQ(std::string(dest + kPathSize, 8), std::string(8, 'J')) << label;
    // The same with the directories given instead of asked of the system.
    memset(dest, 'J', sizeof dest);
    whole = ExpandPathMacrosWith(dest, kPathSize, row.source.c_str(),
                                 "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(whole, row.whole) << label << " (directories given)";
    EXPECT_EQ(std::string(dest), row.expanded) << label << " (directories given)";
    EXPECT_EQ(std::string(dest + kPathSize, 8), std::string(8, 'J')) << label;
  }
}

TEST(ExpandPathMacros, DirectoryTheSystemCannotTell) {
  struct Row {
    const char* failing;
    const char* source;
    bool whole;
  };
  const Row rows[] = {
      {"WindowsDirectory", "%WINDIR%\\DOSSTART.BAT", false},
      {"SystemDirectory", "%WINSYS%\\X.DRV", false},
      // The English folders lie in the Windows directory.
      {"WindowsDirectory", "%PROGRAMS%\\X", false},
      {"WindowsDirectory", "%WINSYS%\\X.DRV", true},
      {"SystemDirectory", "C:\\X.DRV", true},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::FailCalls(row.failing);
    char dest[kPathSize];
    EXPECT_EQ(ExpandPathMacros(dest, kPathSize, row.source), row.whole)
        << row.failing << " " << row.source;
  }
}

// The shared folders as the registry names them: a German Windows names
// its own. A value that is there but cannot serve leaves the path
// unexpanded, never the English folder in its place.
TEST(ExpandPathMacros, SharedFoldersFromTheRegistry) {
  const char kShellFolders[] =
      "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
      "Shell Folders";
  const std::string menu = "C:\\WINDOWS\\Startmen\xfc";  // Windows-1252
  struct Row {
    const char* label;
    std::vector<std::pair<const char*, std::string>> values;
    std::string source;
    std::string expanded;  // "" when not whole
  };
  // Read with room for a terminator the registry may not have stored: 254
  // characters and the one it did store.
  const std::string longValue = "C:\\" + std::string(251, 'L');  // 254
  const Row rows[] = {
      {"German Programs", {{"Programs", menu + "\\Programme"}},
       "%PROGRAMS%\\AudioMax 64", menu + "\\Programme\\AudioMax 64"},
      {"German Start menu", {{"Start Menu", menu}}, "%STARTMENU%\\X",
       menu + "\\X"},
      {"value names in any letter case", {{"STARTUP", menu + "\\Autostart"}},
       "%STARTUP%\\X.LNK", menu + "\\Autostart\\X.LNK"},
      {"German Desktop", {{"Desktop", "D:\\Arbeitsplatz"}}, "%DESKTOP%",
       "D:\\Arbeitsplatz"},
      {"other values only: English", {{"Programs", menu + "\\Programme"}},
       "%DESKTOP%\\X", "C:\\WINDOWS\\Desktop\\X"},
      {"relative value", {{"Programs", "Startmen\xfc\\Programme"}},
       "%PROGRAMS%\\X", ""},
      {"empty value", {{"Programs", ""}}, "%PROGRAMS%\\X", ""},
      {"value of 254 characters", {{"Desktop", longValue}}, "%DESKTOP%X",
       longValue + "X"},
      {"value of 254 characters and more", {{"Desktop", longValue}},
       "%DESKTOP%\\X", ""},
      {"value longer than a path", {{"Desktop", longValue + "L"}},
       "%DESKTOP%", ""},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::AddRegKey(kShellFolders);
    for (const auto& value : row.values) {
      fake::SetRegString(kShellFolders, value.first, value.second);
    }
    char dest[kPathSize];
    bool whole = ExpandPathMacros(dest, kPathSize, row.source.c_str());
    EXPECT_EQ(whole, !row.expanded.empty()) << row.label;
    if (whole) {
      EXPECT_EQ(std::string(dest), row.expanded) << row.label;
    }
    EXPECT_EQ(fake::OpenRegHandles(), 0) << row.label;
  }
}

TEST(ExpandPathMacros, DirectoryLongerThanAPath) {
  fake::Reset();
  std::string longDir = "C:\\" + std::string(253, 'W');  // 256 characters
  fake::SetWindowsDir(longDir);
  char dest[kPathSize];
  EXPECT_FALSE(ExpandPathMacros(dest, kPathSize, "%WINDIR%\\X"));
  EXPECT_LT(strlen(dest), static_cast<size_t>(kPathSize));
}

}  // namespace
