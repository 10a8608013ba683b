#include "textfile/batch_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/unit/textfile/textfile_helpers.h"

namespace {

const char kAutoexec[] = "C:\\AUTOEXEC.BAT";

TEST(RemovePathEntry, RemovesTheFirstEntryNamingTheWord) {
  struct Row {
    const char* before;
    const char* after;
  };
  const Row rows[] = {
      {"PATH=C:\\DOS;C:\\SND\\HALCYREN.ROM;C:\\WINDOWS", "PATH=C:\\DOS;C:\\WINDOWS"},
      {"SET PATH=C:\\SND\\HALCYREN.ROM;C:\\DOS", "SET PATH=;C:\\DOS"},
      {"PATH=C:\\SND\\HALCYREN.ROM", "PATH="},
      {"path c:\\dos;c:\\snd\\halcyren.rom", "path c:\\dos"},
      {"Path=c:\\snd\\Halcyren.Rom;C:\\Dos", "Path=;C:\\Dos"},
      {"SET PATH=%PATH%;C:\\VANTORIS\\HALCYREN.ROM", "SET PATH=%PATH%"},
      {"PATH=C:\\A\\HALCYREN.ROM;C:\\B\\HALCYREN.ROM", "PATH=;C:\\B\\HALCYREN.ROM"},
      {"PATH=C:\\SND\\HALCYREN.ROM\\BIN;C:\\DOS", "PATH=;C:\\DOS"},
      // The PATH command with a blank: the blank stays.
      {"PATH C:\\SND\\HALCYREN.ROM;C:\\DOS", "PATH ;C:\\DOS"},
      {"PATH\tC:\\SND\\HALCYREN.ROM", "PATH\t"},
      {"  PATH  C:\\SND\\HALCYREN.ROM", "  PATH  "},
      {"C:\\SND\\HALCYREN.ROM\\SETPATH", ""},
      // Lines that are left alone.
      {"SET PATH=C:\\HALCYREN;C:\\DOS", "SET PATH=C:\\HALCYREN;C:\\DOS"},
      {"SET SND=C:\\SND\\HALCYREN.ROM", "SET SND=C:\\SND\\HALCYREN.ROM"},
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
            (std::vector<std::string>{"PATH=;C:\\DOS", "REM HALCYREN.ROM",
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
      {"ROM twice in a PATH", {"PATH=C:\\A\\HALCYREN.ROM;C:\\B\\HALCYREN.ROM", "ECHO x"},
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
      CleanBatchFile(kAutoexec);
      EXPECT_EQ(fake::ReadFile(kAutoexec), SavedText(row.after));
      EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
      EXPECT_EQ(fake::OpenFiles(), 0);
    }
  }
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
    CleanBatchFile(kAutoexec);
    EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before));
  }
}

}  // namespace
