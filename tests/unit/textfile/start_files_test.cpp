// Whole start-up files like those found on real machines, cleaned as the
// uninstall cleans them.
#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_machine.h"
#include "tests/unit/support/test_support.h"
#include "tests/unit/support/card_machine.h"
#include "tests/unit/textfile/textfile_helpers.h"
#include "textfile/batch_file.h"
#include "textfile/config_sys.h"
#include "tests/unit/support/scratch_record.h"

namespace {

TEST(StartFiles, RealLookingFilesComeOutAsExpected) {
  struct Row {
    const char* input;     // fixture, LF line ends
    const char* expected;  // fixture, LF line ends; written with CR LF
    const char* target;
    void (*edit)();
  };
  const Row rows[] = {
      {"autoexec_menu.bat", "autoexec_menu.expected.bat", "C:\\AUTOEXEC.BAT",
       [] { CleanBatchFile("C:\\AUTOEXEC.BAT", kControl, ScratchRecord()); }},
      {"dosstart.bat", "dosstart.expected.bat", "C:\\WINDOWS\\DOSSTART.BAT",
       [] { CleanBatchFile("C:\\WINDOWS\\DOSSTART.BAT", kControl, ScratchRecord()); }},
      {"config_menu.sys", "config_menu.expected.sys", "C:\\CONFIG.SYS",
       [] { FixConfigSys(ScratchRecord()); }},
      {"config_comments.sys", "config_comments.expected.sys", "C:\\CONFIG.SYS",
       [] { FixConfigSys(ScratchRecord()); }},
  };
  for (const Row& row : rows) {
    const std::string input = ReadFixture(row.input);
    const std::string expected = ReadFixture(row.expected);
    ASSERT_FALSE(input.empty()) << row.input;
    ASSERT_FALSE(expected.empty()) << row.expected;
    for (const LineEnding& ending : kEndings) {
      SCOPED_TRACE(std::string(row.input) + ", " + ending.name);
      fake::Reset();
      fake::AddFile("C:\\WINDOWS\\EMM386.EXE", "MZ");
      fake::AddFile(row.target, WithEnds(input, ending.end));
      row.edit();
      EXPECT_EQ(fake::ReadFile(row.target), Crlf(expected));
    }
  }
}

}  // namespace
