#include "textfile/wininit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/unit/textfile/textfile_helpers.h"

namespace {

const char kWininit[] = "C:\\WINDOWS\\WININIT.INI";

struct Row {
  const char* name;
  bool exists;                        // WININIT.INI is there beforehand
  std::vector<std::string> before;    // its lines
  std::vector<std::string> schedule;  // paths, in call order
  std::vector<std::string> after;     // the lines expected afterwards
  std::function<void()> setup = [] {};
  bool written = true;  // what each call returns
  bool laidOut = true;  // each scheduled file exists
};

TEST(ScheduleDeleteOnReboot, AddsEntriesUnderTheFirstRenameHeader) {
  const std::string longPath = "C:\\" + std::string(220, 'L') + ".DLL";
  const Row rows[] = {
      {"no WININIT.INI", false, {}, {"C:\\X.TMP"}, {"[rename]", "NUL=C:\\X.TMP"}},
      {"empty WININIT.INI", true, {}, {"C:\\X.TMP"}, {"[rename]", "NUL=C:\\X.TMP"}},
      {"other sections only", true,
       {"[CombineVxDs]", "=C:\\WINDOWS\\SYSTEM\\VMM32.VXD", "",
        "[SetupOptions]", "Combine=1"},
       {"C:\\X.TMP"},
       {"[CombineVxDs]", "=C:\\WINDOWS\\SYSTEM\\VMM32.VXD", "[SetupOptions]",
        "Combine=1", "[rename]", "NUL=C:\\X.TMP"}},
      {"entry goes ahead of existing ones", true,
       {"[rename]", "NUL=C:\\OLD.TMP", "C:\\NEW.TXT=C:\\OLD.TXT"},
       {"C:\\X.TMP"},
       {"[rename]", "NUL=C:\\X.TMP", "NUL=C:\\OLD.TMP",
        "C:\\NEW.TXT=C:\\OLD.TXT"}},
      {"header in capitals", true, {"[RENAME]", "NUL=C:\\A"}, {"C:\\X.TMP"},
       {"[RENAME]", "NUL=C:\\X.TMP", "NUL=C:\\A"}},
      {"header with a capital R", true, {"[Rename]"}, {"C:\\X.TMP"},
       {"[Rename]", "NUL=C:\\X.TMP"}},
      {"text after the header ignored", true, {"[rename] ;x", "[other]"},
       {"C:\\X.TMP"}, {"[rename] ;x", "NUL=C:\\X.TMP", "[other]"}},
      {"header with leading blanks is not one", true,
       {"  [rename]", "NUL=C:\\A"}, {"C:\\X.TMP"},
       {"  [rename]", "NUL=C:\\A", "[rename]", "NUL=C:\\X.TMP"}},
      {"two sections: the first one", true,
       {"[rename]", "NUL=C:\\A", "[other]", "[rename]", "NUL=C:\\B"},
       {"C:\\X.TMP"},
       {"[rename]", "NUL=C:\\X.TMP", "NUL=C:\\A", "[other]", "[rename]",
        "NUL=C:\\B"}},
      {"section in the middle", true,
       {"[before]", "k=v", "[rename]", "NUL=C:\\A", "[after]", "k=v"},
       {"C:\\X.TMP"},
       {"[before]", "k=v", "[rename]", "NUL=C:\\X.TMP", "NUL=C:\\A", "[after]",
        "k=v"}},
      {"two calls stand in reverse order", false, {},
       {"C:\\FIRST.TMP", "C:\\SECOND.TMP"},
       {"[rename]", "NUL=C:\\SECOND.TMP", "NUL=C:\\FIRST.TMP"}},
      {"same path twice gives two entries", true, {"[rename]"},
       {"C:\\X.TMP", "C:\\X.TMP"},
       {"[rename]", "NUL=C:\\X.TMP", "NUL=C:\\X.TMP"}},
      {"long lines kept whole", true, {"[rename]", "NUL=" + longPath},
       {longPath}, {"[rename]", "NUL=C:\\LLLLLL~1.DLL", "NUL=" + longPath}},
      {"existing file named by its short form", false, {},
       {"C:\\Program Files\\Vantoris Mixer\\mixer panel.exe"},
       {"[rename]", "NUL=C:\\PROGRA~1\\VANTOR~1\\MIXERP~1.EXE"},
       [] {
         const char* file = "C:\\Program Files\\Vantoris Mixer\\mixer panel.exe";
         fake::AddFile(file, "MZ");
         fake::SetShortPath(file, "C:\\PROGRA~1\\VANTOR~1\\MIXERP~1.EXE");
       }},
      {"a NUL byte is kept like any other", true,
       {"[rename]", std::string("NUL=C:\\\0", 8)}, {"C:\\X.TMP"},
       {"[rename]", "NUL=C:\\X.TMP", std::string("NUL=C:\\\0", 8)}},
      {"existing 8.3 name as it is", false, {}, {"C:\\VANTORIS\\SND.DRV"},
       {"[rename]", "NUL=C:\\VANTORIS\\SND.DRV"},
       [] { fake::AddFile("C:\\VANTORIS\\SND.DRV", "x"); }},
      {"missing file: no 8.3 path, nothing written", false, {},
       {"C:\\Program Files\\Gone Dir\\x y.dll"}, {}, [] {}, false, false},
      {"a system without short names: a blank, a name past 8.3: not written",
       false, {},
       {"C:\\A B\\X.DLL", "C:\\LONGNAME9\\X.DLL", "C:\\X.DLLX",
        "C:\\A+B.DLL", "C:\\X.D.L"},
       {},
       [] {
         for (const char* file : {"C:\\A B\\X.DLL", "C:\\LONGNAME9\\X.DLL",
                                  "C:\\X.DLLX", "C:\\A+B.DLL", "C:\\X.D.L"}) {
           fake::AddFile(file, "x");
           fake::SetShortPath(file, file);
         }
       },
       false},
      {"no short form: nothing written", false, {},
       {"C:\\Long Name\\file.dat"}, {},
       [] { fake::FailCalls("ShortPathName"); }, false},
  };
  for (const Row& row : rows) {
    for (const LineEnding& ending : kEndings) {
      SCOPED_TRACE(std::string(row.name) + ", " + ending.name);
      fake::Reset();
      if (row.exists) fake::AddFile(kWininit, FileText(row.before, ending.end));
      row.setup();
      for (const std::string& path : row.schedule) {
        if (row.laidOut && !fake::Exists(path)) fake::AddFile(path, "x");
        EXPECT_EQ(ScheduleDeleteOnReboot(path.c_str()), row.written) << path;
      }
      EXPECT_EQ(fake::ReadFile(kWininit), SavedText(row.after));
      EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
      EXPECT_EQ(fake::OpenFiles(), 0);
    }
  }
}

TEST(ScheduleDeleteOnReboot, WindowsDirectoryAtARootGetsNoSecondBackslash) {
  fake::Reset();
  fake::SetWindowsDir("C:\\");
  fake::AddFile("C:\\X.TMP", "x");
  ScheduleDeleteOnReboot("C:\\X.TMP");
  EXPECT_EQ(fake::ReadFile("C:\\WININIT.INI"), "[rename]\r\nNUL=C:\\X.TMP\r\n");
}

// Files of other programs' entries, or none at all, are never written over,
// and the caller hears that no entry was written.
TEST(ScheduleDeleteOnReboot, LeavesTheMachineAsItWasWhenItCannotAddSafely) {
  struct Case {
    const char* name;
    std::function<void()> setup;
  };
  const Case cases[] = {
      {"unreadable WININIT.INI",
       [] {
         fake::AddFile(kWininit, "[rename]\r\nNUL=C:\\A\r\n");
         fake::SetUnreadable(kWininit, true);
       }},
      {"read-only WININIT.INI",
       [] {
         fake::AddFile(kWininit, "[rename]\r\nNUL=C:\\A\r\n", plat::kAttrReadOnly);
       }},
      {"WININIT.INI is a directory", [] { fake::AddDir(kWininit); }},
      {"Windows directory unknown", [] { fake::FailCalls("WindowsDirectory"); }},
      {"WININIT.INI path does not fit",
       [] { fake::SetWindowsDir("C:\\" + std::string(242, 'W')); }},
      {"no memory", [] {
         fake::AddFile(kWininit, "[x]\r\n");
         fake::FailCalls("Allocate");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fake::Reset();
    fake::AddFile("C:\\X.TMP", "x");
    c.setup();
    auto before = fake::Snapshot();
    EXPECT_FALSE(ScheduleDeleteOnReboot("C:\\X.TMP"));
    EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before));
    EXPECT_EQ(fake::OpenFiles(), 0);
  }
}

// Out of memory for the new section header, the last block the call asks
// for: the file stays as it was.
TEST(ScheduleDeleteOnReboot, NoMemoryForANewHeaderLeavesTheFileAlone) {
  auto setup = [] {
    fake::Reset();
    fake::AddFile(kWininit, "[other]\r\n");
    fake::AddFile("C:\\X.TMP", "x");
  };
  setup();
  ScheduleDeleteOnReboot("C:\\X.TMP");
  long lastAllocation = 0;
  for (const fake::Call& call : fake::CallLog()) {
    if (std::string(call.function) == "Allocate") lastAllocation = call.index;
  }
  ASSERT_GT(lastAllocation, 0);

  setup();
  fake::FailWhen([lastAllocation](const fake::Call& call) {
    return call.index == lastAllocation;
  });
  ScheduleDeleteOnReboot("C:\\X.TMP");
  EXPECT_EQ(fake::ReadFile(kWininit), "[other]\r\n");
  EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
}

}  // namespace
