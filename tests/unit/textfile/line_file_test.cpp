#include "textfile/line_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/unit/support/test_support.h"
#include "tests/unit/textfile/textfile_helpers.h"

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

// Input written with "\n"; each row also runs with every "\n" as CR LF.
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
      {"lone CR is a character", "a\rb\nc\r", {"a\rb", "c\r"},
       "a\rb\r\nc\r\r\n"},
      {"blanks, tabs and 8-bit bytes kept", "  \tx \xE9\xFF\n",
       {"  \tx \xE9\xFF"}, "  \tx \xE9\xFF\r\n"},
  };
  for (const RoundTrip& row : rows) {
    for (const LineEnding& ending : kEndings) {
      SCOPED_TRACE(std::string(row.name) + ", " + ending.name);
      fake::Reset();
      std::string input =
          ending.end[0] == '\r' ? Crlf(row.input) : row.input;
      fake::AddFile(kFile, input);
      int saved = -1;
      EXPECT_EQ(LoadAndSave(&saved), row.lines);
      EXPECT_EQ(saved, 0);
      EXPECT_EQ(fake::ReadFile(kFile), row.saved);
      EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
      EXPECT_EQ(fake::OpenFiles(), 0);
    }
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
      {"NUL byte", [] { fake::AddFile(kFile, std::string("a\r\nb\0c\r\n", 8)); }},
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

// The temporary file stands beside the target and never takes its name.
TEST(LineFile, SaveGoesThroughATemporaryFileThatIsGoneAfterwards) {
  struct Row {
    const char* target;
    const char* leftOver;  // a temporary file an interrupted run left
  };
  const Row rows[] = {
      {"C:\\AUTOEXEC.BAT", "C:\\AUTOEXEC.$$$"},
      {"C:\\WINDOWS\\WININIT.INI", "C:\\WINDOWS\\WININIT.$$$"},
      {"C:\\NOEXT", "C:\\NOEXT.$$$"},
      {"C:\\DIR.X\\NOEXT", "C:\\DIR.X\\NOEXT.$$$"},
      {"C:\\ODD.$$$", "C:\\ODD.$$_"},
      {"C:\\My Files\\a.b.txt", "C:\\My Files\\a.b.$$$"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.target);
    fake::Reset();
    fake::AddFile(row.target, "old\r\n");
    fake::AddFile(row.leftOver, "left over from before\r\n");
    LineArray lines = MakeLines({"new", "", "text"});
    EXPECT_EQ(SaveTextLines(lines, row.target, 3), 0);
    FreeTextLines(lines, 3);
    EXPECT_EQ(fake::ReadFile(row.target), "new\r\ntext\r\n");
    EXPECT_FALSE(fake::Exists(row.leftOver));
  }
}

TEST(LineFile, SaveCreatesAMissingFile) {
  fake::Reset();
  LineArray lines = MakeLines({"one"});
  EXPECT_EQ(SaveTextLines(lines, "C:\\WINDOWS\\NEW.INI", 1), 0);
  FreeTextLines(lines, 1);
  EXPECT_EQ(fake::ReadFile("C:\\WINDOWS\\NEW.INI"), "one\r\n");
}

TEST(LineFile, TargetsThatMayNotBeReplacedAreLeftAlone) {
  // 253 characters: the temporary name would need 257.
  static const std::string kLongTarget = "C:\\" + std::string(250, 'a');
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
      {"no room for the temporary name",
       kLongTarget.c_str(), [] {}},
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
