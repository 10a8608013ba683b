// The directories that [deltree] and [multdel] leave alone, however a
// control file spells them and wherever the PC keeps them, and the ordinary
// card paths they still act on.
#include <functional>

#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "fileops/list_targets.h"
#include "tests/unit/fileops/fileops_fixture.h"
#include "tests/unit/support/scratch_record.h"

namespace {

using fileops_test::Create;
using fileops_test::Item;
using fileops_test::kControl;
using fileops_test::Surviving;

// C:\WINDOWS and C:\WINDOWS\SYSTEM unless a row says otherwise; the card's
// directory C:\VANTORIS and the current directory C:\DISK exist.
// isProtected: [deltree] passes the value over.
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

const char kShellFolders[] =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
    "Shell Folders";
const char kCurrentVersion[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// A German Windows 95 as its registry lays it out: "Startmen\xfc" is
// "Startmenü" in Windows-1252.
void GermanMachine() {
  const std::string menu = "C:\\WINDOWS\\Startmen\xfc";
  fake::AddDir(menu + "\\Programme\\Autostart");
  fake::AddDir("C:\\Programme\\Gemeinsame Dateien");
  fake::SetRegString(kShellFolders, "Desktop", "C:\\WINDOWS\\Desktop");
  fake::SetRegString(kShellFolders, "Start Menu", menu);
  fake::SetRegString(kShellFolders, "Programs", menu + "\\Programme");
  fake::SetRegString(kShellFolders, "Startup",
                     menu + "\\Programme\\Autostart");
  fake::SetRegString(kShellFolders, "Personal", "C:\\Eigene Dateien");
  fake::SetRegString(kCurrentVersion, "ProgramFilesDir", "C:\\Programme");
  fake::SetRegString(kCurrentVersion, "CommonFilesDir",
                     "C:\\Programme\\Gemeinsame Dateien");
}

// A Windows directory with a long name, and so an alias: C:\Windows 95 is
// C:\WINDOW~1.
void LongNamedWindowsDirectory() {
  fake::AddDir("C:\\Windows 95\\System");
  fake::SetWindowsDir("C:\\Windows 95");
  fake::SetSystemDir("C:\\Windows 95\\System");
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
      {"C:", true, "C:\\DISK"},
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
      {"C:\\PROGRA~1\\..\\WINDOWS", true},
      {"C:\\WINDOW~1", true, "C:\\DISK", LongNamedWindowsDirectory},
      {"c:/window~1/", true, "C:\\DISK", LongNamedWindowsDirectory},
      {"C:\\WINDOW~1\\VANTORIS", false, "C:\\DISK",
       LongNamedWindowsDirectory},
      // The current directory of another drive, as the system keeps it.
      {"D:", true, "C:\\DISK"},
      {"D:..\\.", true, "C:\\DISK"},
      {"D:VANTORIS", false, "C:\\DISK"},
      {"D:WINDOWS", false, "C:\\"},
      // The NT and device namespaces, whatever they name.
      {"\\??\\D:\\", true},
      {"\\??\\D:", true},
      {"\\??\\C:\\VANTORIS", true},
      {"/?" "?/C:/VANTORIS", true},  // split: "??/" would read as a trigraph
      {"\\\\?\\C:\\VANTORIS", true},
      {"\\\\.\\C:\\VANTORIS", true},
      {"//?/C:/VANTORIS", true},
      {"\\\\?", true},
      {"\\??\\UNC\\SERVER\\SHARE", true},
      // The temporary directory and the shared folders of an English PC
      // whose registry names none.
      {"C:\\WINDOWS\\TEMP", true},
      {"C:\\TEMP", true, "C:\\DISK", [] { fake::SetTempPath("C:\\TEMP\\"); }},
      {"C:\\TEMP\\VNT", false, "C:\\DISK",
       [] { fake::SetTempPath("C:\\TEMP\\"); }},
      {"C:\\VANTORIS", true, "C:\\DISK", [] { fake::FailCalls("TempDirectory"); }},
      {"C:\\WINDOWS\\Start Menu\\Programs", true},
      {"C:\\WINDOWS\\START MENU\\PROGRAMS\\", true},
      {"C:\\WINDOWS\\Start Menu", true},
      {"C:\\WINDOWS\\Start Menu\\Programs\\StartUp", true},
      {"C:\\WINDOWS\\Desktop", true},
      {"C:\\WINDOWS\\Fonts", true},
      {"C:\\WINDOWS\\ShellNew", true},
      {"C:\\Program Files", true},
      {"C:\\Program Files\\Common Files", true},
      {"C:\\WINDOWS\\Start Menu\\Programs\\VANTORIS AudioMax", false},
      {"C:\\Program Files\\VANTORIS", false},
      // A German PC, its folders named by the registry: those go by their
      // names there, in any letter case and by their short names, and the
      // English names are nothing special.
      {"C:\\WINDOWS\\Startmen\xfc\\Programme", true, "C:\\DISK", GermanMachine},
      {"c:\\windows\\STARTMEN\xdc\\programme.", true, "C:\\DISK",
       GermanMachine},
      {"C:\\WINDOWS\\STARTM~1\\PROGRA~1", true, "C:\\DISK", GermanMachine},
      {"C:\\WINDOWS\\Startmen\xfc", true, "C:\\DISK", GermanMachine},
      {"C:\\Eigene Dateien", true, "C:\\DISK", GermanMachine},
      {"C:\\Programme", true, "C:\\DISK", GermanMachine},
      {"C:\\Programme\\Gemeinsame Dateien", true, "C:\\DISK", GermanMachine},
      {"C:\\WINDOWS\\Startmen\xfc\\Programme\\VANTORIS AudioMax", false,
       "C:\\DISK", GermanMachine},
      {"C:\\Programme\\VANTORIS", false, "C:\\DISK", GermanMachine},
      // Values that name no place (relative, longer than a path) do not end
      // the walk of the others.
      {"C:\\WINDOWS\\Startmen\xfc\\Programme", true, "C:\\DISK",
       [] {
         fake::SetRegString(kShellFolders, "AppData", "Anwendungsdaten");
         fake::SetRegString(kShellFolders, "Cache",
                            "C:\\" + std::string(300, 'c'));
         GermanMachine();
       }},
      {"C:\\WINDOWS\\Start Menu\\Programs", false, "C:\\DISK", GermanMachine},
      {"C:\\Program Files", false, "C:\\DISK", GermanMachine},
      // Directories that cannot be told.
      {"\\\\SERVER", true},
      {"C:\\WINDOWS::$INDEX_ALLOCATION", true},
      {"C:\\VANTORIS\\...", true},
      {"C:\\VANTORIS\\.. ", true},
      {"C:\\VANTORIS\\ ", true},
      {"C:\\VANTORIS", true, "C:\\DISK",
       [] { fake::FailCalls("WindowsDirectory"); }},
      {"C:\\VANTORIS", true, "C:\\DISK",
       [] { fake::FailCalls("SystemDirectory"); }},
      {"VANTORIS", true, "C:\\DISK",
       [] { fake::FailCalls("FullPathName"); }},
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
      {"C:.", false, "C:\\DISK"},
      {".", false, "C:\\DISK"},
      {"\\VANTORIS", false, "C:\\WINDOWS"},
      {"C:\\PROGRA~1\\VANTORIS", false, "C:\\DISK", longReported},
      {"C:\\Program Files\\VANTORIS", false, "C:\\DISK", shortReported},
      {"C:\\VANTORIS", false, "C:\\DISK",
       [] { fake::FailCalls("FullPathName"); }},
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
    char directory[kPathSize];
    EXPECT_EQ(TreeTarget(row.directory, directory) != ListTarget::Act,
              row.isProtected)
        << name;
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
      {"D:\\*.* ", true},              {"D:\\*.*. .", true},
      {"C:\\WINDOWS\\<", true},        {"C:\\WINDOWS\\<.>\"", true},
      {"C:\\WINDOWS\\.\\*.*", true},   {"c:/windows./system/*", true},
      {"C:\\WINDOWS\\*.INF", false},   {"C:\\WINDOWS\\VNT*.*", false},
      {"C:\\WINDOWS\\?X*", false},     {"C:\\WINDOWS\\*.*X", false},
      {"C:\\VANTORIS\\*.*", false},    {"C:\\VANTORIS/????????.???", false},
      {"C:\\WINDOWS\\* .INF", false},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::SetCurrentDir("C:\\");
    char pattern[kPathSize];
    size_t directoryLength = 0;
    EXPECT_EQ(SweepTarget(row.pattern, pattern, &directoryLength) ==
                  ListTarget::Protected,
              row.isSweep)
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
