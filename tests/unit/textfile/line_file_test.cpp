#include "textfile/line_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/unit/support/card_machine.h"
#include "tests/unit/textfile/textfile_helpers.h"
#include "textfile/batch_file.h"
#include "textfile/config_sys.h"
#include "tests/unit/support/scratch_record.h"

namespace {

const char kFile[] = "C:\\TEST.TXT";

// Loads the file at kFile and writes it back; returns the lines held.
std::vector<std::string> LoadAndSave(int* saveResult) {
  int count = -1;
  LineArray lines = LoadTextLines(kFile, &count);
  EXPECT_NE(lines, nullptr);
  if (lines == nullptr) return {};
  for (int i = count; i < count + kSpareLineSlots; ++i) {
    EXPECT_EQ(lines[i], nullptr) << "spare slot " << i;
  }
  std::vector<std::string> held = LinesOf(lines, count);
  *saveResult = SaveTextLines(lines, kFile, count);
  FreeTextLines(lines, count);
  return held;
}

// The file that the last save created to write into.
std::string CreatedFile() {
  std::string created;
  for (const fake::Call& call : fake::CallLog()) {
    if (std::string(call.function) == "CreateNewFile") created = call.arg;
  }
  return created;
}

// Input written with "\n"; each row runs with every "\n" as each line end.
struct RoundTrip {
  const char* name;
  std::string input;
  std::vector<std::string> lines;
  std::string saved;
};

TEST(LineFile, LoadsWholeLinesAndWritesThemBackWithCrLf) {
  const std::string x199(199, 'x'), y200(200, 'y'), z100k(100000, 'z');
  const RoundTrip rows[] = {
      {"empty file", "", {}, ""},
      {"no final line end", "a\nb", {"a", "b"}, "a\r\nb\r\n"},
      {"blank lines dropped", "a\n\n\nb\n", {"a", "", "", "b"}, "a\r\nb\r\n"},
      {"only blank lines", "\n\n", {"", ""}, ""},
      {"199 characters", x199 + "\n", {x199}, x199 + "\r\n"},
      {"200 characters", y200 + "\nb\n", {y200, "b"}, y200 + "\r\nb\r\n"},
      {"100000 characters", "a\n" + z100k + "\n", {"a", z100k},
       "a\r\n" + z100k + "\r\n"},
      {"long last line without end", z100k, {z100k}, z100k + "\r\n"},
      {"Ctrl-Z ends the data", "a\nb\x1A" "c\nd\n", {"a", "b"}, "a\r\nb\r\n"},
      {"Ctrl-Z first", "\x1A" "abc\n", {}, ""},
      {"lone CR ends a line", "a\rb\nc\r", {"a", "b", "c"},
       "a\r\nb\r\nc\r\n"},
      {"blanks, tabs and 8-bit bytes kept", "  \tx \xE9\xFF\n",
       {"  \tx \xE9\xFF"}, "  \tx \xE9\xFF\r\n"},
      {"NUL and escape bytes held escaped, written back",
       std::string("a\0b\x01\n\0\x01\x02\n", 9),
       {"a\x01\x02" "b\x01\x01", "\x01\x02\x01\x01\x02"},
       std::string("a\0b\x01\r\n\0\x01\x02\r\n", 11)},
  };
  for (const RoundTrip& row : rows) {
    for (const LineEnding& ending : kEndings) {
      SCOPED_TRACE(std::string(row.name) + ", " + ending.name);
      fake::Reset();
      fake::AddFile(kFile, WithEnds(row.input, ending.end));
      int saved = -1;
      EXPECT_EQ(LoadAndSave(&saved), row.lines);
      EXPECT_EQ(saved, 0);
      EXPECT_EQ(fake::ReadFile(kFile), row.saved);
      EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
      EXPECT_EQ(fake::OpenFiles(), 0);
    }
  }
}

// COMMAND.COM ends a batch line at a CR: a file with CR-only line ends
// holds as many lines as it shows, whatever mix of ends it has.
TEST(LineFile, EveryKindOfLineEndEndsALine) {
  struct Row {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"CR only", "FILES=30\rDEVICE=C:\\X.SYS\rBUFFERS=20",
       {"FILES=30", "DEVICE=C:\\X.SYS", "BUFFERS=20"}},
      {"CR CR LF: an empty line", "a\r\r\nb", {"a", "", "b"}},
      {"LF CR: an empty line", "a\n\rb\r\n", {"a", "", "b"}},
      {"CR LF CR LF", "a\r\n\r\nb", {"a", "", "b"}},
      {"CR then Ctrl-Z", "a\r\x1A\nb", {"a"}},
      {"only CRs", "\r\r", {"", ""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    fake::AddFile(kFile, row.input);
    int saved = -1;
    EXPECT_EQ(LoadAndSave(&saved), row.lines);
    EXPECT_EQ(fake::ReadFile(kFile), SavedText(row.lines));
  }
}

// The slot array's size is checked before it is used: on the 32-bit
// Windows build (count + 16) * 4 wraps around for a file of 1 GiB of line
// ends, and the loader would then fill a 64-byte array with 2^30 lines.
TEST(LineFile, SlotArraySizeThatDoesNotFitIsRefused) {
  struct Row {
    const char* name;
    uint32_t lineCount;
    uint32_t pointerSize;
    uint64_t sizeLimit;
    uint64_t bytes;  // 0: refused
  };
  const uint64_t k32 = 0xFFFFFFFFu;
  const uint64_t k64 = UINT64_MAX;
  const Row rows[] = {
      {"empty file, 32-bit", 0, 4, k32, 64},
      {"largest that fits, 32-bit", 0x3FFFFFEF, 4, k32, 0xFFFFFFFCu},
      {"one more, 32-bit", 0x3FFFFFF0, 4, k32, 0},
      {"1 GiB of line ends, 32-bit", 0x40000000, 4, k32, 0},
      {"every count, 32-bit", 0xFFFFFFFF, 4, k32, 0},
      {"1 GiB of line ends, 64-bit", 0x40000000, 8, k64, (0x40000000ull + 16) * 8},
      {"largest int count, 64-bit", 0x7FFFFFEF, 8, k64, 0x7FFFFFFFull * 8},
      {"count beyond an int, 64-bit", 0x7FFFFFF0, 8, k64, 0},
      {"no pointer size", 1, 0, k32, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SlotArrayBytes(row.lineCount, row.pointerSize, row.sizeLimit),
              row.bytes);
  }
}

TEST(LineFile, ManyLinesAcrossReadBlocks) {
  fake::Reset();
  std::vector<std::string> lines;
  for (int i = 0; i < 5000; ++i) lines.push_back("line " + std::to_string(i));
  fake::AddFile(kFile, FileText(lines, "\n"));
  int saved = -1;
  EXPECT_EQ(LoadAndSave(&saved), lines);
  EXPECT_EQ(fake::ReadFile(kFile), SavedText(lines));
}

// A file that cannot be read whole is never held in part: the editors
// would write the part back over the whole.
TEST(LineFile, NothingLoadedFromFilesThatCannotBeReadWhole) {
  struct Row {
    const char* name;
    void (*setup)();
  };
  const Row rows[] = {
      {"missing", [] {}},
      {"directory", [] { fake::AddDir(kFile); }},
      {"unreadable",
       [] {
         fake::AddFile(kFile, "a\r\n");
         fake::SetUnreadable(kFile, true);
       }},
      {"read error",
       [] {
         fake::AddFile(kFile, "a\r\n");
         fake::FailCalls("ReadBytes");
       }},
      {"no memory for the data",
       [] {
         fake::AddFile(kFile, "a\r\n");
         fake::FailCalls("Allocate");
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    row.setup();
    auto before = fake::Snapshot();
    int count = -1;
    EXPECT_EQ(LoadTextLines(kFile, &count), nullptr);
    EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before));
    EXPECT_EQ(fake::OpenFiles(), 0);
  }
}

TEST(LineFile, SaveOfNoLinesTruncates) {
  fake::Reset();
  fake::AddFile(kFile, "old text\r\n");
  EXPECT_EQ(SaveTextLines(nullptr, kFile, 0), 0);
  EXPECT_TRUE(fake::Exists(kFile));
  EXPECT_EQ(fake::ReadFile(kFile), "");
}

// The number of the first call of function on path; -1 when none.
long FirstCallOn(const char* function, const std::string& path) {
  for (const fake::Call& call : fake::CallLog()) {
    if (std::string(call.function) == function && call.arg == path) {
      return call.index;
    }
  }
  return -1;
}

// The temporary file stands beside the target, never takes its name and
// never overwrites a file that is there, even when the look at its name
// fails: a user's AUTOEXEC.$$$ stays as it was. Its data reaches the disk
// before it is closed and renamed.
TEST(LineFile, SaveGoesThroughATemporaryFileThatDidNotExist) {
  // 253 characters: the temporary name takes the first 251 of them.
  static const std::string kLongTarget = "C:\\" + std::string(250, 'a');
  static const std::string kLongTemporary = kLongTarget.substr(0, 251) + ".$$$";
  struct Row {
    const char* name;
    const char* target;
    std::vector<std::string> present;  // files of the user's
    const char* temporary;             // "" when no name is free
    bool looksFail = false;            // at the first present file
  };
  std::vector<std::string> allTaken = {"C:\\AUTOEXEC.$$$"};
  for (int n = 0; n < 100; ++n) {
    allTaken.push_back("C:\\AUTOEXEC.$" + std::string(1, '0' + n / 10) +
                       std::string(1, '0' + n % 10));
  }
  std::vector<std::string> allButLast(allTaken.begin(), allTaken.end() - 1);
  const Row rows[] = {
      {"nothing in the way", "C:\\AUTOEXEC.BAT", {}, "C:\\AUTOEXEC.$$$"},
      {"a user's AUTOEXEC.$$$", "C:\\AUTOEXEC.BAT", {"C:\\AUTOEXEC.$$$"},
       "C:\\AUTOEXEC.$00"},
      {"every look at a user's AUTOEXEC.$$$ fails", "C:\\AUTOEXEC.BAT",
       {"C:\\AUTOEXEC.$$$"}, "", true},
      {"letter case does not matter", "C:\\AUTOEXEC.BAT",
       {"C:\\autoexec.$$$", "C:\\Autoexec.$00"}, "C:\\AUTOEXEC.$01"},
      {"a user's CONFIG.$$$", "C:\\CONFIG.SYS", {"C:\\CONFIG.$$$"},
       "C:\\CONFIG.$00"},
      {"the last free name", "C:\\AUTOEXEC.BAT", allButLast,
       "C:\\AUTOEXEC.$99"},
      {"a name too long for the extension is cut", kLongTarget.c_str(), {},
       kLongTemporary.c_str()},
      {"no free name", "C:\\AUTOEXEC.BAT", allTaken, ""},
      {"Windows directory", "C:\\WINDOWS\\WININIT.INI", {},
       "C:\\WINDOWS\\WININIT.$$$"},
      {"no extension", "C:\\NOEXT", {}, "C:\\NOEXT.$$$"},
      {"dot in a directory name", "C:\\DIR.X\\NOEXT", {},
       "C:\\DIR.X\\NOEXT.$$$"},
      {"two dots", "C:\\My Files\\a.b.txt", {}, "C:\\My Files\\a.b.$$$"},
      {"target named .$$$", "C:\\ODD.$$$", {}, "C:\\ODD.$00"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    fake::AddFile(row.target, "old\r\n");
    for (const std::string& path : row.present) {
      fake::AddFile(path, "the user's " + path);
    }
    if (row.looksFail) fake::FailCalls("FileAttributes", row.present[0]);
    auto before = fake::Snapshot();
    LineArray lines = MakeLines({"new", "", "text"});
    int result = SaveTextLines(lines, row.target, 3);
    FreeTextLines(lines, 3);
    if (row.temporary[0] == '\0') {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before));
      continue;
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fake::ReadFile(row.target), "new\r\ntext\r\n");
    for (const std::string& path : row.present) {
      EXPECT_EQ(fake::ReadFile(path), "the user's " + path);
    }
    EXPECT_EQ(CreatedFile(), row.temporary);
    EXPECT_FALSE(fake::Exists(row.temporary));
    const long flushed = FirstCallOn("FlushFile", row.temporary);
    EXPECT_GT(flushed, 0);
    EXPECT_LT(flushed, FirstCallOn("CloseFile", row.temporary));
  }
}

// The new file has the attributes the old one had: a hidden and system
// CONFIG.SYS must not come back as a plain file.
TEST(LineFile, SaveKeepsHiddenSystemAndArchiveAttributes) {
  using plat::kAttrArchive;
  using plat::kAttrHidden;
  using plat::kAttrSystem;
  struct Row {
    const char* name;
    const char* path;
    uint32_t attributes;
    void (*edit)();
  };
  const Row rows[] = {
      {"hidden and system CONFIG.SYS", "C:\\CONFIG.SYS",
       kAttrHidden | kAttrSystem, [] { FixConfigSys(ScratchRecord()); }},
      {"hidden, system, archive", "C:\\CONFIG.SYS",
       kAttrHidden | kAttrSystem | kAttrArchive, [] { FixConfigSys(ScratchRecord()); }},
      {"hidden DOSSTART.BAT", "C:\\WINDOWS\\DOSSTART.BAT", kAttrHidden,
       [] { CleanBatchFile("C:\\WINDOWS\\DOSSTART.BAT", kControl, ScratchRecord()); }},
      {"archive AUTOEXEC.BAT", "C:\\AUTOEXEC.BAT", kAttrArchive,
       [] { CleanBatchFile("C:\\AUTOEXEC.BAT", kControl, ScratchRecord()); }},
      {"plain AUTOEXEC.BAT", "C:\\AUTOEXEC.BAT", 0,
       [] { CleanBatchFile("C:\\AUTOEXEC.BAT", kControl, ScratchRecord()); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    fake::AddFile("C:\\WINDOWS\\EMM386.EXE", "MZ");
    const std::string before =
        "SET HALCYRENE=1\r\nDEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE\r\n";
    fake::AddFile(row.path, before, row.attributes);
    row.edit();
    EXPECT_NE(fake::ReadFile(row.path), before);
    EXPECT_EQ(fake::Attributes(row.path), row.attributes);
    EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
  }
}

// The temporary name is never the target's own, even when the target is
// missing and its name is one of the temporary names.
TEST(LineFile, SaveCreatesAMissingFile) {
  struct Row {
    const char* target;
    const char* temporary;
  };
  const Row rows[] = {
      {"C:\\WINDOWS\\NEW.INI", "C:\\WINDOWS\\NEW.$$$"},
      {"C:\\WINDOWS\\NEW.$$$", "C:\\WINDOWS\\NEW.$00"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.target);
    fake::Reset();
    LineArray lines = MakeLines({"one"});
    EXPECT_EQ(SaveTextLines(lines, row.target, 1), 0);
    FreeTextLines(lines, 1);
    EXPECT_EQ(fake::ReadFile(row.target), "one\r\n");
    EXPECT_EQ(CreatedFile(), row.temporary);
  }
}

TEST(LineFile, TargetsThatMayNotBeReplacedAreLeftAlone) {
  struct Row {
    const char* name;
    const char* target;
    void (*setup)();
  };
  const Row rows[] = {
      {"read-only", "C:\\CONFIG.SYS",
       [] { fake::AddFile("C:\\CONFIG.SYS", "old\n", plat::kAttrReadOnly); }},
      {"directory", "C:\\CONFIG.SYS", [] { fake::AddDir("C:\\CONFIG.SYS"); }},
      {"empty path", "", [] {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    row.setup();
    auto before = fake::Snapshot();
    LineArray lines = MakeLines({"new"});
    EXPECT_EQ(SaveTextLines(lines, row.target, 1), 1);
    FreeTextLines(lines, 1);
    EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before));
  }
}

TEST(LineFile, FreeAndDuplicate) {
  fake::Reset();
  FreeTextLines(nullptr, 5);  // nothing to do, no crash
  char* copy = DuplicateLine("DEVICE=X");
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy, "DEVICE=X");
  plat::Release(copy);
  fake::FailCalls("Allocate");
  EXPECT_EQ(DuplicateLine("x"), nullptr);
}

}  // namespace
