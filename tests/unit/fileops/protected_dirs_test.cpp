// The directories that [deltree] and [multdel] leave alone, however a
// control file spells them, and the ordinary card paths they still act on.
#include <functional>

#include "fileops/file_lists.h"
#include "fileops/protected_dirs.h"
#include "tests/unit/fileops/fileops_fixture.h"
#include "tests/unit/support/scratch_record.h"

namespace {

using fileops_test::Create;
using fileops_test::Item;
using fileops_test::kControl;
using fileops_test::Surviving;

// C:\WINDOWS and C:\WINDOWS\SYSTEM unless a row says otherwise; the card's
// directory C:\VANTORIS and the current directory C:\DISK exist.
struct SpellingRow {
  const char* directory;
  bool isProtected;
  const char* currentDir = "C:\\DISK";
  std::function<void()> setup = [] {};
};

// A Windows directory with a long name: C:\Program Files\Windows, short
// C:\PROGRA~1\WINDOWS, reported long or short.
void LongWindowsDirectory(bool reportShort) {
  fake::AddDir("C:\\Program Files\\Windows\\System");
  fake::SetShortPath("C:\\Program Files", "C:\\PROGRA~1");
  fake::SetShortPath("C:\\Program Files\\Windows", "C:\\PROGRA~1\\WINDOWS");
  fake::SetShortPath("C:\\Program Files\\Windows\\System",
                     "C:\\PROGRA~1\\WINDOWS\\SYSTEM");
  fake::SetWindowsDir(reportShort ? "C:\\PROGRA~1\\WINDOWS"
                                  : "C:\\Program Files\\Windows");
  fake::SetSystemDir(reportShort ? "C:\\PROGRA~1\\WINDOWS\\SYSTEM"
                                 : "C:\\Program Files\\Windows\\System");
}

std::vector<SpellingRow> SpellingRows() {
  auto longReported = [] { LongWindowsDirectory(false); };
  auto shortReported = [] { LongWindowsDirectory(true); };
  return {
      // Drive roots.
      {"C:\\", true},
      {"c:/", true},
      {"D:\\", true},
      {"\\", true},
      {"/", true},
      {"C:\\VANTORIS\\..", true},
      {"C:\\..\\..", true},
      {"C:", true, "C:\\"},
      {"..", true, "C:\\DISK"},
      {"\\\\SERVER\\SHARE", true},
      {"//server/share/", true},
      // The Windows and system directories and what holds them.
      {"C:\\WINDOWS", true},
      {"c:\\windows", true},
      {"C:\\WINDOWS\\", true},
      {"C:\\WINDOWS\\\\", true},
      {"C:/Windows/", true},
      {"C:\\\\WINDOWS", true},
      {"C:\\WINDOWS.", true},
      {"C:\\WINDOWS .", true},
      {"C:\\WINDOWS\\.", true},
      {"C:\\WINDOWS\\SYSTEM\\..", true},
      {"C:\\VANTORIS\\..\\WINDOWS", true},
      {"C:\\..\\WINDOWS", true},
      {"C:\\WINDOWS\\SYSTEM", true},
      {"C:\\WINDOWS\\system\\", true},
      {"WINDOWS", true, "C:\\"},
      {".", true, "C:\\WINDOWS"},
      {"C:WINDOWS", true, "C:\\"},
      {"C:", true, "C:\\WINDOWS\\SYSTEM"},
      {"C:..", true, "C:\\WINDOWS\\SYSTEM"},
      {"SYSTEM", true, "C:\\WINDOWS"},
      {"\\WINDOWS", true, "C:\\DISK"},
      {"D:\\WIN", true, "C:\\DISK",
       [] {
         fake::SetWindowsDir("D:\\WIN");
         fake::SetSystemDir("D:\\WIN\\SYSTEM");
       }},
      {"D:\\", true, "C:\\DISK", [] { fake::SetWindowsDir("D:\\WIN\\"); }},
      // Short and long names of a Windows directory with a long name.
      {"C:\\PROGRA~1\\WINDOWS", true, "C:\\DISK", longReported},
      {"C:\\progra~1", true, "C:\\DISK", longReported},
      {"C:\\Program Files", true, "C:\\DISK", longReported},
      {"C:\\PROGRAM FILES\\WINDOWS\\SYSTEM", true, "C:\\DISK", shortReported},
      {"C:\\Program Files", true, "C:\\DISK", shortReported},
      {"C:\\PROGRA~1", true, "C:\\DISK", shortReported},
      // Directories that cannot be told.
      {"D:", true, "C:\\DISK"},
      {"D:VANTORIS", true, "C:\\DISK"},
      {"\\\\?\\C:\\VANTORIS", true},
      {"\\\\.\\C:\\VANTORIS", true},
      {"\\\\SERVER", true},
      {"C:\\VANTORIS\\...", true},
      {"C:\\VANTORIS\\.. ", true},
      {"C:\\VANTORIS", true, "C:\\DISK",
       [] { fake::FailCalls("WindowsDirectory"); }},
      {"C:\\VANTORIS", true, "C:\\DISK",
       [] { fake::FailCalls("SystemDirectory"); }},
      {"VANTORIS", true, "C:\\DISK",
       [] { fake::FailCalls("CurrentDirectory"); }},
      // Ordinary card paths, and near misses of the protected ones.
      {"C:\\VANTORIS", false},
      {"c:/vantoris/", false},
      {"C:\\VANTORIS\\DRIVERS", false},
      {"C:\\WINDOWS\\VANTORIS", false},
      {"C:\\WINDOWS\\SYSTEM\\VANTORIS", false},
      {"C:\\WINDOWS\\SYSTEM\\..\\VANTORIS", false},
      {"C:\\WINDOWSX", false},
      {"C:\\WINDOWS.OLD", false},
      {"C:\\WIN", false},
      {"C:\\ WINDOWS", false},
      {"C:\\.WINDOWS", false},
      {"D:\\WINDOWS", false},
      {"\\\\SERVER\\SHARE\\VANTORIS", false},
      {"VANTORIS", false, "C:\\"},
      {"C:VANTORIS", false, "C:\\"},
      {"C:", false, "C:\\DISK"},
      {".", false, "C:\\DISK"},
      {"\\VANTORIS", false, "C:\\WINDOWS"},
      {"C:\\PROGRA~1\\VANTORIS", false, "C:\\DISK", longReported},
      {"C:\\Program Files\\VANTORIS", false, "C:\\DISK", shortReported},
      {"C:\\VANTORIS", false, "C:\\DISK",
       [] { fake::FailCalls("CurrentDirectory"); }},
      {"C:\\VANTORIS", false, "C:\\DISK",
       [] { fake::FailCalls("ShortPathName"); }},
  };
}

TEST(ProtectedDirectories, AnySpellingOfASystemPlaceIsProtected) {
  for (const SpellingRow& row : SpellingRows()) {
    fake::Reset();
    fake::AddDir("C:\\VANTORIS");
    fake::SetCurrentDir(row.currentDir);
    row.setup();
    std::string name = std::string(row.directory) + " from " + row.currentDir;
    EXPECT_EQ(IsProtectedDirectory(row.directory), row.isProtected) << name;
  }
}

TEST(ProtectedDirectories, OnlyPatternsNamingEveryFileAreSweeps) {
  struct Row {
    const char* pattern;
    bool isSweep;
  };
  const Row rows[] = {
      {"C:\\WINDOWS\\*.*", true},      {"C:\\WINDOWS\\*", true},
      {"C:\\WINDOWS\\????????.???", true}, {"C:\\WINDOWS\\*.", true},
      {"C:\\WINDOWS\\.*", true},       {"C:\\WINDOWS\\", true},
      {"C:\\*.*", true},               {"C:*.*", true},
      {"*.*", true},                   {"C:\\WINDOWS/*.*", true},
      {"C:\\WINDOWS\\*.INF", false},   {"C:\\WINDOWS\\VNT*.*", false},
      {"C:\\WINDOWS\\?X*", false},     {"C:\\WINDOWS\\*.*X", false},
      {"C:\\VANTORIS\\*.*", false},    {"C:\\VANTORIS/????????.???", false},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::SetCurrentDir("C:\\");
    std::string pattern = row.pattern;
    size_t cut = pattern.find_last_of(":\\/");
    size_t directoryLength = cut == std::string::npos ? 0 : cut + 1;
    EXPECT_EQ(IsProtectedSweep(row.pattern, directoryLength), row.isSweep)
        << row.pattern;
  }
}

// The lists themselves: the protected entries are passed over, the others
// around them still act.
TEST(ProtectedDirectories, ListsPassOverThemAndGoOn) {
  struct Row {
    const char* name;
    std::string ini;
    const char* currentDir;
    std::vector<Item> files;
    std::vector<std::string> stay;
  };
  const std::vector<Item> machine = {
      {"C:\\ROOT.TXT"},
      {"C:\\WINDOWS\\WIN.INI"},
      {"C:\\WINDOWS\\ABCDEFGH.DRV"},
      {"C:\\WINDOWS\\SYSTEM\\VNTWAVE.DRV"},
      {"C:\\WINDOWS\\SYSTEM\\USER.EXE"},
      {"C:\\VANTORIS\\A.TMP"},
      {"C:\\VANTORIS\\SUB\\B.TMP"},
  };
  const std::vector<Row> rows = {
      {"deltree: roots, the Windows and system directories pass",
       "[deltree]\n1=C:\\\n2=%WINDIR%\n3=%WINSYS%\n4=C:/WINDOWS/SYSTEM/..\n"
       "5=C:\n6=C:\\VANTORIS\n",
       "C:\\", machine,
       {"C:\\ROOT.TXT", "C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\ABCDEFGH.DRV",
        "C:\\WINDOWS\\SYSTEM\\VNTWAVE.DRV", "C:\\WINDOWS\\SYSTEM\\USER.EXE"}},
      {"deltree: a bare drive would walk its root and passes",
       "[deltree]\n1=C:\n2=c:\n3=C:SUB\n", "C:\\VANTORIS", machine,
       {"C:\\ROOT.TXT", "C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\ABCDEFGH.DRV",
        "C:\\WINDOWS\\SYSTEM\\VNTWAVE.DRV", "C:\\WINDOWS\\SYSTEM\\USER.EXE",
        "C:\\VANTORIS\\A.TMP"}},
      {"multdel: sweeps of system places pass, card patterns act",
       "[multdel]\n1=%WINSYS%\\*.???\n2=%WINDIR%\\????????.???\n3=C:\\*\n"
       "4=*.*\n5=C:*.TXT\n6=%WINSYS%\\VNT*.*\n7=C:\\VANTORIS\\*.???\n",
       "C:\\", machine,
       {"C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\ABCDEFGH.DRV",
        "C:\\WINDOWS\\SYSTEM\\USER.EXE", "C:\\VANTORIS\\SUB\\B.TMP"}},
      {"multdel: a relative sweep outside the system places acts",
       "[multdel]\n1=*.???\n2=C:*.*\n", "C:\\VANTORIS", machine,
       {"C:\\ROOT.TXT", "C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\ABCDEFGH.DRV",
        "C:\\WINDOWS\\SYSTEM\\VNTWAVE.DRV", "C:\\WINDOWS\\SYSTEM\\USER.EXE",
        "C:\\VANTORIS\\SUB\\B.TMP"}},
  };
  for (const Row& row : rows) {
    fake::Reset();
    WriteControlFile(kControl, row.ini);
    Create(row.files);
    fake::SetCurrentDir(row.currentDir);
    if (row.ini.find("[deltree]") == 0) {
      RunDeltreeList(kControl, ScratchRecord());
    } else {
      RunMultiDeleteList(kControl, ScratchRecord());
    }
    std::vector<std::string> stay = Surviving(row.files);
    EXPECT_EQ(stay, row.stay) << row.name;
    EXPECT_TRUE(fake::Exists(kControl)) << row.name;
    EXPECT_EQ(fake::OpenFinds(), 0) << row.name;
  }
}

}  // namespace
