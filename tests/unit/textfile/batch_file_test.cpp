#include "textfile/batch_file.h"
#include "textfile/dos_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/path_helpers.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/support/card_machine.h"
#include "tests/unit/support/test_support.h"
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
    std::string dosclean = "";       // the control file's [dosclean] keys
  };
  const std::string word255(255, 'w');
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
      // The control file's words, each as the ROM: out of the PATH lists,
      // then every line still holding it.
      {"own words",
       {"PATH C:\\DOS;C:\\VANTORIS\\DOS;C:\\WINDOWS", "SET VNT64=A220 I7",
        "LH c:\\AudioMax\\MIXINIT.EXE", "ECHO x"},
       {"PATH C:\\DOS;C:\\WINDOWS", "ECHO x"},
       "1=C:\\VANTORIS\\DOS\n2=vnt64\n3=\\AUDIOMAX\\\n"},
      {"own words end at a gap, over-long ones are passed over",
       {"SET VNT64=1", "SET VNT65=1", "SET VNT66=1", "REM " + word255 + "w"},
       {"SET VNT65=1", "SET VNT66=1", "REM " + word255 + "w"},
       "1=" + word255 + "w\n2=VNT64\n4=VNT66\n"},
      {"own word at the limits", {"SET VNT=1", "REM " + word255, "ECHO x"},
       {"SET VNT=1", "ECHO x"}, "1=VNT\n2=" + word255 + "\n"},
      // Words that would take the user's own lines with them.
      {"own words passed over",
       {"@ECHO OFF", "SET PATH=%PATH%;C:\\WINDOWS\\COMMAND;C:\\DOS;C:\\VNT64",
        "LH C:\\DOS\\MOUSE.COM", "C:\\WINDOWS\\SMARTDRV.EXE"},
       {"@ECHO OFF", "SET PATH=%PATH%;C:\\WINDOWS\\COMMAND;C:\\DOS",
        "LH C:\\DOS\\MOUSE.COM", "C:\\WINDOWS\\SMARTDRV.EXE"},
       "1=@ECHO\n2=SET PATH=\n3=\\WINDOWS\\\n4=C:\\DOS\n5=COMMAND\n"
       "6=LOADHIGH\n7=C:\\\n8=VNT64\n"},
      // The built-in words act as they do alone: the keyword takes its
      // PATH line whole before an own word could take one entry of it.
      {"own word after the built-in ones",
       {"PATH=C:\\HALCYRENE\\VNT64;C:\\DOS", "ECHO x"}, {"ECHO x"},
       "1=VNT64\n"},
  };
  for (const Row& row : rows) {
    for (const LineEnding& ending : kEndings) {
      SCOPED_TRACE(std::string(row.name) + ", " + ending.name);
      fake::Reset();
      fake::AddFile(kAutoexec, FileText(row.before, ending.end));
      if (!row.dosclean.empty()) {
        WriteControlFile(kControl, "[dosclean]\n" + row.dosclean);
      }
      CleanBatchFile(kAutoexec, kControl, ScratchRecord());
      EXPECT_EQ(fake::ReadFile(kAutoexec), SavedText(row.after));
      // Loaded once and written once, however many words.
      int reads = 0;
      for (const fake::Call& call : fake::CallLog()) {
        reads += std::string(call.function) == "OpenForRead" &&
                 call.arg == kAutoexec;
      }
      EXPECT_EQ(reads, 1);
      EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
      EXPECT_EQ(fake::OpenFiles(), 0);
    }
  }
}

// What the cleaning makes of each [dosclean] value, on the usual machine
// and on ones whose Windows directory is elsewhere or cannot be told.
TEST(ReadDosWord, PassesOverWordsThatWouldTakeTheUsersLines) {
  struct Row {
    const char* value;
    DosWord use;
    const char* word = "";  // as stored when Used
    void (*machine)() = [] {};
  };
  auto win95 = [] {
    fake::SetWindowsDir("C:\\WIN95");
    fake::SetSystemDir("C:\\WIN95\\SYSTEM");
  };
  auto noSystemDir = [] { fake::FailCalls("SystemDirectory"); };
  auto noWindowsDir = [] { fake::FailCalls("WindowsDirectory"); };
  const Row rows[] = {
      {"VnT6", DosWord::Used, "VNT6"},
      {"VNT", DosWord::TooShort},
      {"C:\\", DosWord::TooShort},
      {"\\windows\\", DosWord::SystemFolder},
      {"WINDOWS\\COMMAND\\", DosWord::SystemFolder},
      {"SYSTEM\\", DosWord::SystemFolder},
      {"C:\\DOS", DosWord::SystemFolder},
      {"\\DOS\\", DosWord::SystemFolder},
      {"C:\\WINDOWS\\VNT64.DRV", DosWord::Used, "C:\\WINDOWS\\VNT64.DRV"},
      {"C:\\DOS\\VNT", DosWord::Used, "C:\\DOS\\VNT"},
      {"\\WINDOWS", DosWord::Used, "\\WINDOWS", win95},
      {"\\WIN95", DosWord::SystemFolder, "", win95},
      {"WIN95\\SYSTEM", DosWord::SystemFolder, "", win95},
      {"VNT64", DosWord::SystemFolder, "", noSystemDir},
      {"VNT64", DosWord::SystemFolder, "", noWindowsDir},
      {"PATH", DosWord::CommandName},
      {"Set Path=%PATH%", DosWord::CommandName},
      {"@echo", DosWord::CommandName},
      {"DEVICE LH REM", DosWord::CommandName},
      {"LOADHIGH", DosWord::CommandName},
      {"....", DosWord::CommandName},
      {"SET VNT64", DosWord::Used, "SET VNT64"},
      {"PATH2", DosWord::Used, "PATH2"},
      {"ECHO\xc4", DosWord::Used, "ECHO\xc4"},  // a letter of the code page
  };
  for (const Row& row : rows) {
    fake::Reset();
    row.machine();
    WriteControlFile(kControl, std::string("[dosclean]\n1=") + row.value + "\n");
    char word[kPathSize];
    EXPECT_EQ(ReadDosWord(kControl, 1, word), row.use) << row.value;
    if (row.use == DosWord::Used) {
      EXPECT_STREQ(word, row.word);
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
  CleanBatchFile(kDosstart, kControl, ScratchRecord());
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
    CleanBatchFile(kAutoexec, kControl, ScratchRecord());
    EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before));
  }
}

}  // namespace
