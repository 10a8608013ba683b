#include "textfile/config_sys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/unit/textfile/textfile_helpers.h"
#include "tests/unit/support/scratch_record.h"
#include "control/not_done.h"

namespace {

const char kConfig[] = "C:\\CONFIG.SYS";
const char kNewLine[] = "DEVICE=C:\\WINDOWS\\EMM386.EXE";

const char kSaved[] = "C:\\VANTORIS\\DOS\\EMM386.EXE";

// The Windows directory's EMM386.EXE, there as RestoreEmm386 leaves it.
void PutWindowsEmm386(const char* data = "MZ") {
  fake::AddFile("C:\\WINDOWS\\EMM386.EXE", data);
}

TEST(FixConfigSys, ReplacesTheLinesThatLoadEmm386KeepingTheirOptions) {
  struct Row {
    const char* name;
    std::vector<std::string> before;
    std::vector<std::string> after;
  };
  const std::string kNew = kNewLine;
  const std::string longOptions = " " + std::string(300, 'X');
  const Row rows[] = {
      {"after another driver, options kept",
       {"DEVICE=C:\\HIMEM.SYS", "device=c:\\vantoris\\dos\\emm386.exe noems"},
       {"DEVICE=C:\\HIMEM.SYS", kNew + " noems"}},
      {"DEVICEHIGH with options",
       {"DEVICEHIGH=C:\\DOS\\EMM386.EXE AUTO RAM FRAME=D000 X=C800-CFFF"},
       {kNew + " AUTO RAM FRAME=D000 X=C800-CFFF"}},
      {"DEVICE?= asks at every start",
       {"DEVICE?=C:\\VANTORIS\\DOS\\EMM386.EXE NOEMS"}, {kNew + " NOEMS"}},
      {"DEVICEHIGH?=", {"devicehigh?=c:\\dos\\emm386.exe i=b000-b7ff"},
       {kNew + " i=b000-b7ff"}},
      {"boot menu: the first and the saved copy's",
       {"[A]", "DEVICE=C:\\DOS\\EMM386.EXE RAM", "[B]",
        "DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE NOEMS", "[C]",
        "DEVICE=C:\\DOS\\EMM386.EXE NOEMS"},
       {"[A]", kNew + " RAM", "[B]", kNew + " NOEMS", "[C]",
        "DEVICE=C:\\DOS\\EMM386.EXE NOEMS"}},
      {"saved copy in any case and form, in every block",
       {"[A]", "DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE", "[B]",
        "devicehigh c:\\vantoris\\dos\\emm386.exe ram", "[C]",
        "DEVICE?=C:\\Vantoris\\Dos\\Emm386.exe X=C800-CFFF"},
       {"[A]", kNew, "[B]", kNew + " ram", "[C]", kNew + " X=C800-CFFF"}},
      {"saved copy named in a comment or menu stays",
       {"DEVICE=C:\\DOS\\EMM386.EXE", "REM DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE",
        "menuitem=V, C:\\VANTORIS\\DOS\\EMM386.EXE"},
       {kNew, "REM DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE",
        "menuitem=V, C:\\VANTORIS\\DOS\\EMM386.EXE"}},
      {"REM line stays",
       {"rem device=c:\\dos\\emm386.exe", "DEVICEHIGH=C:\\DOS\\EMM386.EXE RAM"},
       {"rem device=c:\\dos\\emm386.exe", kNew + " RAM"}},
      {"REM and a tab stays", {"REM\tDEVICE=EMM386.EXE"}, {"REM\tDEVICE=EMM386.EXE"}},
      {"indented REM stays", {"   REM DEVICE=EMM386.EXE"}, {"   REM DEVICE=EMM386.EXE"}},
      {"semicolon comment stays",
       {"; DEVICE=C:\\DOS\\EMM386.EXE", ";DEVICE=C:\\DOS\\EMM386.EXE"},
       {"; DEVICE=C:\\DOS\\EMM386.EXE", ";DEVICE=C:\\DOS\\EMM386.EXE"}},
      {"only the first of two elsewhere",
       {"DEVICE=C:\\DOS\\EMM386.EXE", "DEVICE=C:\\OTHER\\EMM386.EXE RAM"},
       {kNew, "DEVICE=C:\\OTHER\\EMM386.EXE RAM"}},
      {"none: blank lines still go", {"FILES=30", "", "BUFFERS=20"},
       {"FILES=30", "BUFFERS=20"}},
      {"menu item naming the driver stays",
       {"[menu]", "menuitem=TVEMS, Start terminal with a TV drivers + EMM386.EXE driver.",
        "[TVEMS]", "DEVICE=C:\\WINDOWS\\HIMEM.SYS", "DEVICE=C:\\WINDOWS\\EMM386.EXE RAM H=255"},
       {"[menu]", "menuitem=TVEMS, Start terminal with a TV drivers + EMM386.EXE driver.",
        "[TVEMS]", "DEVICE=C:\\WINDOWS\\HIMEM.SYS", kNew + " RAM H=255"}},
      {"DEVICEHIGH without =", {"DEVICEHIGH C:\\DOS\\EMM386.EXE NOEMS"}, {kNew + " NOEMS"}},
      {"DEVICEHIGH SIZE=", {"DEVICEHIGH SIZE=1B40 C:\\DOS\\EMM386.EXE"}, {kNew}},
      {"indented, blank before =", {"\tdevice = c:\\dos\\emm386.exe"}, {kNew}},
      {"other commands naming it stay",
       {"INSTALL=C:\\DOS\\EMM386.EXE", "DEVICES=EMM386.EXE", "DEVICEHIGHX=EMM386.EXE",
        "DEVICE?" "?=EMM386.EXE", "SET X=EMM386.EXE", "DEVICE=C:\\QEMM\\QEMM386.SYS"},
       {"INSTALL=C:\\DOS\\EMM386.EXE", "DEVICES=EMM386.EXE", "DEVICEHIGHX=EMM386.EXE",
        "DEVICE?" "?=EMM386.EXE", "SET X=EMM386.EXE", "DEVICE=C:\\QEMM\\QEMM386.SYS"}},
      {"shorter line grows", {"DEVICE=EMM386.EXE"}, {kNew}},
      {"long lines whole",
       {"REM " + std::string(300, 'r'), "DEVICE=C:\\DOS\\EMM386.EXE" + longOptions},
       {"REM " + std::string(300, 'r'), kNew + longOptions}},
      {"NUL bytes kept where they were",
       {std::string("FILES=30\0", 9),
        "DEVICE=C:\\DOS\\EMM386.EXE RAM" + std::string("\0X", 2)},
       {std::string("FILES=30\0", 9),
        kNew + std::string(" RAM\0X", 6)}},
  };
  for (const Row& row : rows) {
    for (const LineEnding& ending : kEndings) {
      SCOPED_TRACE(std::string(row.name) + ", " + ending.name);
      fake::Reset();
      PutWindowsEmm386();
      fake::AddFile(kConfig, FileText(row.before, ending.end));
      FixConfigSys(ScratchRecord());
      EXPECT_EQ(fake::ReadFile(kConfig), SavedText(row.after));
      EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
      EXPECT_EQ(fake::OpenFiles(), 0);
    }
  }
}

// CONFIG.SYS is never pointed at a file that is not there whole, and a
// CONFIG.SYS that stays loading the saved copy, whatever stopped the edit,
// keeps that copy from the file lists.
TEST(FixConfigSys, LeftLoadingTheSavedCopyKeepsIt) {
  struct Row {
    const char* name;
    void (*setup)();
    uint32_t attributes;  // CONFIG.SYS's
  };
  const Row rows[] = {
      {"none there", [] {}, 0},
      {"a directory of that name",
       [] { fake::AddDir("C:\\WINDOWS\\EMM386.EXE"); }, 0},
      {"an empty EMM386.EXE", [] { PutWindowsEmm386(""); }, 0},
      {"half of the saved copy", [] { PutWindowsEmm386("MZ ha"); }, 0},
      {"read-only CONFIG.SYS", [] { PutWindowsEmm386("MZ half"); },
       plat::kAttrReadOnly},
      {"CONFIG.SYS that cannot be read",
       [] { fake::FailCalls("OpenForRead", kConfig); }, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    fake::AddFile(kSaved, "MZ half");
    row.setup();
    fake::AddFile(kConfig, "FILES=30\n\nDEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE NOEMS\n",
                  row.attributes);
    auto before = fake::Snapshot();
    NotDone notDone{};
    FixConfigSys(&notDone);
    EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before));
    EXPECT_TRUE(MustKeep(&notDone, kSaved));
    ASSERT_GE(notDone.count, 1);
    EXPECT_STREQ(notDone.paths[0], kConfig);
  }
}

TEST(FixConfigSys, NewLineUsesTheWholeWindowsDirectory) {
  struct Row {
    std::string windowsDir;
    std::string newLine;  // "" when CONFIG.SYS must stay as it was
  };
  const std::string deep = "D:\\OPERATING SYSTEMS\\WINDOWS 95 OSR2";
  const std::string tooLong = "C:\\" + std::string(244, 'W');
  const Row rows[] = {
      {"C:\\WINDOWS", "DEVICE=C:\\WINDOWS\\EMM386.EXE"},
      {"c:\\win95", "DEVICE=c:\\win95\\EMM386.EXE"},
      {deep, "DEVICE=" + deep + "\\EMM386.EXE"},
      {"C:\\", "DEVICE=C:\\EMM386.EXE"},
      {tooLong, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.windowsDir);
    fake::Reset();
    fake::SetWindowsDir(row.windowsDir);
    std::string emm386 = row.windowsDir;
    if (emm386.back() != '\\') emm386 += '\\';
    fake::AddFile(emm386 + "EMM386.EXE", "MZ");
    const std::string before = "FILES=30\n\nDEVICE=C:\\DOS\\EMM386.EXE\n";
    fake::AddFile(kConfig, before);
    FixConfigSys(ScratchRecord());
    std::string expected =
        row.newLine.empty() ? before : "FILES=30\r\n" + row.newLine + "\r\n";
    EXPECT_EQ(fake::ReadFile(kConfig), expected);
  }
}

TEST(FixConfigSys, MissingConfigSysIsNotCreated) {
  fake::Reset();
  PutWindowsEmm386();
  FixConfigSys(ScratchRecord());
  EXPECT_FALSE(fake::Exists(kConfig));
}

// Without memory for a longer line the old one stays.
TEST(ReplaceMemoryManagerLine, KeepsTheLineWhenNoMemoryForALongerOne) {
  fake::Reset();
  LineArray lines = MakeLines({"DEVICE=EMM386.EXE"});
  fake::FailCalls("Allocate");
  ReplaceMemoryManagerLine(lines, 1, kNewLine);
  EXPECT_STREQ(lines[0], "DEVICE=EMM386.EXE");
  FreeTextLines(lines, 1);
}

TEST(RestoreEmm386, CopiesTheSavedManagerUnlessOneIsThere) {
  struct Row {
    const char* name;
    const char* windowsDir;
    bool saved;          // C:\VANTORIS\DOS\EMM386.EXE exists
    const char* present; // an EMM386.EXE already in the Windows directory
    const char* expect;  // what the Windows directory's copy holds then
    bool copyFails = false;
  };
  const Row rows[] = {
      {"copied", "C:\\WINDOWS", true, nullptr, "saved manager"},
      {"existing one kept", "C:\\WINDOWS", true, "user's manager", "user's manager"},
      {"nothing to copy", "C:\\WINDOWS", false, nullptr, nullptr},
      {"root Windows directory", "C:\\", true, nullptr, "saved manager"},
      {"the copy fails: the saved copy is kept", "C:\\WINDOWS", true, nullptr,
       nullptr, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    fake::SetWindowsDir(row.windowsDir);
    std::string target = std::string(row.windowsDir);
    if (target.back() != '\\') target += '\\';
    target += "EMM386.EXE";
    if (row.saved) fake::AddFile("C:\\VANTORIS\\DOS\\EMM386.EXE", "saved manager");
    if (row.present) fake::AddFile(target, row.present);
    if (row.copyFails) fake::FailCalls("CopyOneFile");
    NotDone notDone{};
    RestoreEmm386(&notDone);
    if (row.expect) {
      EXPECT_EQ(fake::ReadFile(target), row.expect);
    } else {
      EXPECT_FALSE(fake::Exists(target));
    }
    EXPECT_EQ(MustKeep(&notDone, kSaved), row.copyFails);
    EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
  }
}

}  // namespace
