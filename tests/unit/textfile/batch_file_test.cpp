#include "textfile/batch_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/unit/textfile/textfile_helpers.h"
#include "tests/unit/support/scratch_record.h"

namespace {

const char kAutoexec[] = "C:\\AUTOEXEC.BAT";

// Every entry naming the word goes from a PATH list, and the list keeps a
// form that every COMMAND.COM takes; text outside PATH lists stays for the
// line to go whole.
TEST(RemovePathEntry, RemovesEveryEntryOfAPathListNamingTheWord) {
  struct Row {
    const char* before;
    const char* after;
  };
  const Row rows[] = {
      // The card installed twice: every entry goes, the line stays.
      {"PATH=C:\\A\\HALCYREN.ROM;C:\\B\\HALCYREN.ROM", "PATH="},
      {"PATH C:\\WINDOWS;C:\\X\\HALCYREN.ROM;C:\\DOS;C:\\Y\\HALCYREN.ROM",
       "PATH C:\\WINDOWS;C:\\DOS"},
      {"PATH=C:\\A\\HALCYREN.ROM;C:\\B\\HALCYREN.ROM;C:\\DOS", "PATH=C:\\DOS"},
      {"SET PATH=%PATH%;C:\\A\\HALCYREN.ROM;C:\\A\\HALCYREN.ROM",
       "SET PATH=%PATH%"},
      // An entry that opens the list takes the ";" after it.
      {"SET PATH=C:\\SND\\HALCYREN.ROM;C:\\DOS", "SET PATH=C:\\DOS"},
      {"PATH C:\\SND\\HALCYREN.ROM;C:\\DOS", "PATH C:\\DOS"},
      {"Path=c:\\snd\\Halcyren.Rom;C:\\Dos", "Path=C:\\Dos"},
      {"PATH=C:\\SND\\HALCYREN.ROM\\BIN;C:\\DOS", "PATH=C:\\DOS"},
      {"PATH=C:\\SND\\HALCYREN.ROM;", "PATH="},
      {"PATH = C:\\SND\\HALCYREN.ROM;C:\\DOS", "PATH = C:\\DOS"},
      {"@PATH C:\\SND\\HALCYREN.ROM;C:\\DOS", "@PATH C:\\DOS"},
      // After IF and REM; the entry starts at the blank before it.
      {"IF \"%CONFIG%\"==\"GAMES\" PATH C:\\VANTORIS\\HALCYREN.ROM;C:\\DOS",
       "IF \"%CONFIG%\"==\"GAMES\" PATH C:\\DOS"},
      {"IF \"%CONFIG%\"==\"GAMES\" SET PATH=C:\\DOS;C:\\V\\HALCYREN.ROM",
       "IF \"%CONFIG%\"==\"GAMES\" SET PATH=C:\\DOS"},
      {"REM PATH=C:\\SND\\HALCYREN.ROM;C:\\DOS", "REM PATH=C:\\DOS"},
      // Later entries take the ";" before them (as before).
      {"PATH=C:\\DOS;C:\\SND\\HALCYREN.ROM;C:\\WINDOWS", "PATH=C:\\DOS;C:\\WINDOWS"},
      {"path c:\\dos;c:\\snd\\halcyren.rom", "path c:\\dos"},
      {"SET PATH=%PATH%;C:\\VANTORIS\\HALCYREN.ROM", "SET PATH=%PATH%"},
      {"PATH=C:\\DOS;;C:\\SND\\HALCYREN.ROM", "PATH=C:\\DOS;"},
      {"PATH=C:\\DOS ;C:\\SND\\HALCYREN.ROM", "PATH=C:\\DOS "},
      {"PATH=C:\\DOS;C:\\SND\\HALCYREN.ROM ", "PATH=C:\\DOS "},
      {"PATH=C:\\SND\\HALCYREN.ROM", "PATH="},
      {"PATH C:\\SND\\HALCYREN.ROM;C:\\DOS", "PATH C:\\DOS"},
      {"PATH\tC:\\SND\\HALCYREN.ROM", "PATH\t"},
      {"  PATH  C:\\SND\\HALCYREN.ROM", "  PATH  "},
      // Not in a PATH list: left for the line to go whole.
      {"C:\\VANTORIS\\DOS\\HCPATH.EXE C:\\VANTORIS\\DOS\\HALCYREN.ROM /Q",
       "C:\\VANTORIS\\DOS\\HCPATH.EXE C:\\VANTORIS\\DOS\\HALCYREN.ROM /Q"},
      {"C:\\SND\\HALCYREN.ROM\\SETPATH", "C:\\SND\\HALCYREN.ROM\\SETPATH"},
      {"SET MYPATH=C:\\SND\\HALCYREN.ROM;C:\\DOS",
       "SET MYPATH=C:\\SND\\HALCYREN.ROM;C:\\DOS"},
      {"SET SND=C:\\A;C:\\SND\\HALCYREN.ROM", "SET SND=C:\\A;C:\\SND\\HALCYREN.ROM"},
      {"SET SND=C:\\A;C:\\SND\\HALCYREN.ROM PATH C:\\DOS",
       "SET SND=C:\\A;C:\\SND\\HALCYREN.ROM PATH C:\\DOS"},
      {"SET SND=C:\\SND\\HALCYREN.ROM", "SET SND=C:\\SND\\HALCYREN.ROM"},
      {"ECHO %PATH%;C:\\SND\\HALCYREN.ROM", "ECHO %PATH%;C:\\SND\\HALCYREN.ROM"},
      {"PATH=C:\\DOS; C:\\SND\\HALCYREN.ROM", "PATH=C:\\DOS; C:\\SND\\HALCYREN.ROM"},
      // Lines without the word are left alone.
      {"SET PATH=C:\\HALCYREN;C:\\DOS", "SET PATH=C:\\HALCYREN;C:\\DOS"},
      {"PATH=C:\\DOS;C:\\WINDOWS", "PATH=C:\\DOS;C:\\WINDOWS"},
      {"", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.before);
    fake::Reset();
    LineArray lines = MakeLines({row.before});
    RemovePathEntry(lines, 1, "HALCYREN.ROM");
    EXPECT_STREQ(lines[0], row.after);
    FreeTextLines(lines, 1);
  }
}

TEST(RemovePathEntry, EditsEveryPathLineAndOnlyThose) {
  fake::Reset();
  LineArray lines = MakeLines({"PATH=C:\\X\\HALCYREN.ROM;C:\\DOS", "REM HALCYREN.ROM",
                               "path C:\\WIN;C:\\Y\\halcyren.rom"});
  RemovePathEntry(lines, 3, "HALCYREN.ROM");
  EXPECT_EQ(LinesOf(lines, 3),
            (std::vector<std::string>{"PATH=C:\\DOS", "REM HALCYREN.ROM",
                                      "path C:\\WIN"}));
  FreeTextLines(lines, 3);
}

TEST(BlankMatchingLines, EmptiesEveryLineHoldingTheWordInAnyCase) {
  fake::Reset();
  LineArray lines = MakeLines({"set halcyrene=c:\\snd", "SET BLASTER=A220",
                               "LH C:\\HalcyRene\\INIT.EXE", "HALCYREN"});
  BlankMatchingLines(lines, 4, "HALCYRENE");
  EXPECT_EQ(LinesOf(lines, 4),
            (std::vector<std::string>{"", "SET BLASTER=A220", "", "HALCYREN"}));
  FreeTextLines(lines, 4);
}

// The whole file after cleaning, one row per case, with other lines around
// it to show they stay.
TEST(CleanBatchFile, CleansTheCardsLinesAndKeepsTheRest) {
  struct Row {
    const char* name;
    std::vector<std::string> before;
    std::vector<std::string> after;  // before writing: empty lines vanish
  };
  const Row rows[] = {
      {"keyword in any case", {"@ECHO OFF", "set halcyrene=c:\\snd", "PROMPT $P$G"},
       {"@ECHO OFF", "PROMPT $P$G"}},
      {"neither word", {"SET PATH=C:\\HALCYREN;C:\\DOS"}, {"SET PATH=C:\\HALCYREN;C:\\DOS"}},
      {"comment naming the ROM", {"REM C:\\SND\\HALCYREN.ROM", "ECHO x"}, {"ECHO x"}},
      {"PATH keeps its line", {"PATH=C:\\SND\\HALCYREN.ROM"}, {"PATH="}},
      {"ROM twice in a PATH: the PATH stays",
       {"PATH=C:\\A\\HALCYREN.ROM;C:\\B\\HALCYREN.ROM", "ECHO x"}, {"PATH=", "ECHO x"}},
      {"ROM twice among other entries",
       {"PATH C:\\WINDOWS;C:\\X\\HALCYREN.ROM;C:\\DOS;C:\\Y\\HALCYREN.ROM"},
       {"PATH C:\\WINDOWS;C:\\DOS"}},
      {"ROM first in the list", {"SET PATH=C:\\SND\\HALCYREN.ROM;C:\\DOS"},
       {"SET PATH=C:\\DOS"}},
      {"PATH after IF",
       {"IF \"%CONFIG%\"==\"GAMES\" PATH C:\\VANTORIS\\HALCYREN.ROM;C:\\DOS"},
       {"IF \"%CONFIG%\"==\"GAMES\" PATH C:\\DOS"}},
      {"REM with a PATH list", {"REM PATH=C:\\SND\\HALCYREN.ROM;C:\\DOS"},
       {"REM PATH=C:\\DOS"}},
      {"program started with the ROM goes whole",
       {"C:\\VANTORIS\\DOS\\HCPATH.EXE C:\\VANTORIS\\DOS\\HALCYREN.ROM /Q", "ECHO x"},
       {"ECHO x"}},
      {"keyword in a PATH", {"PATH=C:\\HALCYRENE;C:\\DOS", "ECHO x"}, {"ECHO x"}},
      {"PATH with a blank", {"PATH C:\\DOS;C:\\VANTORIS\\HALCYREN.ROM;C:\\WINDOWS"},
       {"PATH C:\\DOS;C:\\WINDOWS"}},
      {"PATH extended", {"PATH=C:\\DOS", "SET PATH=%PATH%;C:\\VANTORIS\\HALCYREN.ROM"},
       {"PATH=C:\\DOS", "SET PATH=%PATH%"}},
      {"nothing to clean: blank lines go", {"@ECHO OFF", "", "   ", "", "WIN"},
       {"@ECHO OFF", "   ", "WIN"}},
      {"long lines whole",
       {"SET X=" + std::string(300, 'x'),
        "PATH=C:\\" + std::string(250, 'p') + ";C:\\HALCYREN.ROM;C:\\DOS",
        "REM " + std::string(250, 'r') + "HALCYRENE"},
       {"SET X=" + std::string(300, 'x'), "PATH=C:\\" + std::string(250, 'p') + ";C:\\DOS"}},
  };
  for (const Row& row : rows) {
    for (const LineEnding& ending : kEndings) {
      SCOPED_TRACE(std::string(row.name) + ", " + ending.name);
      fake::Reset();
      fake::AddFile(kAutoexec, FileText(row.before, ending.end));
      CleanBatchFile(kAutoexec, ScratchRecord());
      EXPECT_EQ(fake::ReadFile(kAutoexec), SavedText(row.after));
      EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
      EXPECT_EQ(fake::OpenFiles(), 0);
    }
  }
}

// A CR-only DOSSTART.BAT naming the card used to be read as one line and
// written back as an empty file.
TEST(CleanBatchFile, CrOnlyFileKeepsItsOtherLines) {
  fake::Reset();
  const char kDosstart[] = "C:\\WINDOWS\\DOSSTART.BAT";
  fake::AddFile(kDosstart,
                "@ECHO OFF\rLH C:\\VANTORIS\\DOS\\HCINIT.EXE /HALCYRENE:ON\r"
                "LH MSCDEX.EXE /D:MSCD001\r");
  CleanBatchFile(kDosstart, ScratchRecord());
  EXPECT_EQ(fake::ReadFile(kDosstart), "@ECHO OFF\r\nLH MSCDEX.EXE /D:MSCD001\r\n");
}

TEST(CleanBatchFile, MissingOrUnwritableFilesStayAsTheyAre) {
  struct Case {
    const char* name;
    void (*setup)();
  };
  const Case cases[] = {
      {"missing", [] {}},
      {"unreadable",
       [] {
         fake::AddFile(kAutoexec, "SET HALCYRENE=1\r\n");
         fake::SetUnreadable(kAutoexec, true);
       }},
      {"read-only",
       [] { fake::AddFile(kAutoexec, "SET HALCYRENE=1\n\n", plat::kAttrReadOnly); }},
      {"in use",
       [] {
         fake::AddFile(kAutoexec, "SET HALCYRENE=1\n");
         fake::SetInUse(kAutoexec, true);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fake::Reset();
    c.setup();
    auto before = fake::Snapshot();
    CleanBatchFile(kAutoexec, ScratchRecord());
    EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before));
  }
}

}  // namespace
