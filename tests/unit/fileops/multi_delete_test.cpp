// [multdel]: matches deleted in search order up to the first that cannot be
// deleted; nothing is ever scheduled for the next start.
#include "fileops/file_lists.h"
#include "tests/unit/fileops/fileops_fixture.h"
#include "tests/unit/support/scratch_record.h"

namespace {

using fileops_test::CountCalls;
using fileops_test::Create;
using fileops_test::Item;
using fileops_test::kControl;
using fileops_test::Surviving;

// A directory of 240 letters under C:\: with its backslashes 244 characters,
// so that "A.TXT" joins to 249 and "LONGERNAME.TXT" to 258.
const std::string kDeep = "C:\\" + fileops_test::LongName(240, 'D');

std::vector<Item> ManyFiles(const std::string& dir, int count) {
  std::vector<Item> items = {{dir + "\\"}};
  for (int i = 0; i < count; ++i)
    items.push_back({dir + "\\FILE" + std::to_string(i) + ".TMP"});
  return items;
}

struct MultRow {
  const char* name;
  std::string ini;
  std::string currentDir;
  std::vector<Item> files;
  std::vector<std::string> stay;  // of files, what must still exist
  std::vector<std::string> deletedAs;  // RemoveListedFile arguments expected
  int finds;  // FindFirst calls, -1 to leave unchecked
};

std::vector<MultRow> Rows() {
  std::vector<MultRow> rows = {
      {"three matches deleted, one search",
       "[multdel]\n1=%WINSYS%\\OLD*.DRV\n", "C:\\",
       {{"C:\\WINDOWS\\SYSTEM\\OLD1.DRV"}, {"C:\\WINDOWS\\SYSTEM\\NEW.DRV"},
        {"C:\\WINDOWS\\SYSTEM\\OLD2.DRV"}, {"C:\\WINDOWS\\SYSTEM\\OLD3.DRV"}},
       {"C:\\WINDOWS\\SYSTEM\\NEW.DRV"},
       {"C:\\WINDOWS\\SYSTEM\\OLD1.DRV", "C:\\WINDOWS\\SYSTEM\\OLD2.DRV",
        "C:\\WINDOWS\\SYSTEM\\OLD3.DRV"},
       1},
      {"read-only second match ends the pattern",
       "[multdel]\n1=C:\\T\\*.TMP\n", "C:\\",
       {{"C:\\T\\A.TMP"}, {"C:\\T\\B.TMP", plat::kAttrReadOnly},
        {"C:\\T\\C.TMP"}},
       {"C:\\T\\B.TMP", "C:\\T\\C.TMP"},
       {"C:\\T\\A.TMP", "C:\\T\\B.TMP"},
       1},
      {"first match in use: nothing deleted, next key goes on",
       "[multdel]\n1=C:\\T\\*.TMP\n2=C:\\U\\*.TMP\n", "C:\\",
       {{"C:\\T\\A.TMP", 0, true}, {"C:\\T\\B.TMP"}, {"C:\\U\\X.TMP"}},
       {"C:\\T\\A.TMP", "C:\\T\\B.TMP"},
       {"C:\\T\\A.TMP", "C:\\U\\X.TMP"},
       2},
      {"plain paths without wildcards",
       "[multdel]\n1=C:\\T\\ONE.TXT\n2=C:\\T\\BUSY.TXT\n3=C:\\T\\NONE.TXT\n"
       "4=C:\\T\\TWO.TXT\n", "C:\\",
       {{"C:\\T\\ONE.TXT"}, {"C:\\T\\BUSY.TXT", 0, true}, {"C:\\T\\TWO.TXT"}},
       {"C:\\T\\BUSY.TXT"},
       {"C:\\T\\ONE.TXT", "C:\\T\\BUSY.TXT", "C:\\T\\TWO.TXT"},
       4},
      {"drive-relative C:*.TMP acts in the drive's current directory",
       "[multdel]\n1=C:*.TMP\n", "C:\\WORK",
       {{"C:\\WORK\\A.TMP"}, {"C:\\WORK\\B.TMP"}, {"C:\\T\\X.TMP"}},
       {"C:\\T\\X.TMP"},
       {"C:\\WORK\\A.TMP", "C:\\WORK\\B.TMP"},
       1},
      {"\"/\" ends the directory part: namesakes in the parent stay",
       "[multdel]\n1=C:\\AUD\\S\\WIN/OLD*.DRV\n", "C:\\",
       {{"C:\\AUD\\S\\WIN\\OLD1.DRV"}, {"C:\\AUD\\S\\WIN\\OLD2.DRV"},
        {"C:\\AUD\\S\\OLD1.DRV"}, {"C:\\AUD\\S\\OLD2.DRV"}},
       {"C:\\AUD\\S\\OLD1.DRV", "C:\\AUD\\S\\OLD2.DRV"},
       {"C:\\AUD\\S\\WIN\\OLD1.DRV", "C:\\AUD\\S\\WIN\\OLD2.DRV"},
       1},
      {"\"/\" throughout, and after a \"\\\"",
       "[multdel]\n1=C:/AUD/*.TMP\n2=C:\\AUD\\S/X/*.TMP\n", "C:\\",
       {{"C:\\AUD\\A.TMP"}, {"C:\\AUD\\S\\X\\B.TMP"}, {"C:\\AUD\\S\\B.TMP"},
        {"C:\\B.TMP"}},
       {"C:\\AUD\\S\\B.TMP", "C:\\B.TMP"},
       {"C:\\AUD\\A.TMP", "C:\\AUD\\S\\X\\B.TMP"},
       2},
      {"relative *.TMP acts in the current directory",
       "[multdel]\n1=*.TMP\n", "C:\\WORK",
       {{"C:\\WORK\\A.TMP"}, {"C:\\WORK\\B.TXT"}, {"C:\\WORK\\C.TMP"}},
       {"C:\\WORK\\B.TXT"},
       {"C:\\WORK\\A.TMP", "C:\\WORK\\C.TMP"},
       1},
      {"*.* in a subdirectory meets \".\" first and deletes nothing",
       "[multdel]\n1=C:\\WORK\\*.*\n", "C:\\",
       {{"C:\\WORK\\A.TMP"}, {"C:\\WORK\\B.TXT"}},
       {"C:\\WORK\\A.TMP", "C:\\WORK\\B.TXT"},
       {"C:\\WORK\\."},
       1},
      {"a directory as first match ends the pattern",
       "[multdel]\n1=C:\\T\\SUB*\n", "C:\\",
       {{"C:\\T\\SUBDIR\\"}, {"C:\\T\\SUBFILE.TXT"}},
       {"C:\\T\\SUBDIR\\", "C:\\T\\SUBFILE.TXT"},
       {"C:\\T\\SUBDIR"},
       1},
      {"over-long join ends the key, never cut",
       "[multdel]\n1=" + kDeep + "\\*.TXT\n2=C:\\T\\X.TMP\n", "C:\\",
       {{kDeep + "\\A.TXT"}, {kDeep + "\\LONGERNAME.TXT"}, {kDeep + "\\B.TXT"},
        {"C:\\T\\X.TMP"}},
       {kDeep + "\\LONGERNAME.TXT", kDeep + "\\B.TXT"},
       {kDeep + "\\A.TXT", "C:\\T\\X.TMP"},
       2},
      {"no match, over-long value: passed over",
       "[multdel]\n1=C:\\T\\NONE*.X\n2=C:\\" + fileops_test::LongName(260) +
           "\n3=C:\\T\\A.TMP\n",
       "C:\\",
       {{"C:\\T\\A.TMP"}},
       {},
       {"C:\\T\\A.TMP"},
       2},
      {"gap ends the list",
       "[multdel]\n1=C:\\T\\A.TMP\n3=C:\\T\\B.TMP\n", "C:\\",
       {{"C:\\T\\A.TMP"}, {"C:\\T\\B.TMP"}},
       {"C:\\T\\B.TMP"},
       {"C:\\T\\A.TMP"},
       1},
  };
  MultRow many = {"three hundred matches, one search",
                  "[multdel]\n1=C:\\MANY\\*.TMP\n", "C:\\",
                  ManyFiles("C:\\MANY", 300), {"C:\\MANY\\"}, {}, 1};
  rows.push_back(many);
  return rows;
}

TEST(RunMultiDeleteList, DeletesMatchesUpToTheFirstFailure) {
  for (const MultRow& row : Rows()) {
    fake::Reset();
    WriteControlFile(kControl, row.ini);
    Create(row.files);
    fake::SetCurrentDir(row.currentDir);
    RunMultiDeleteList(kControl, ScratchRecord());
    EXPECT_EQ(Surviving(row.files), row.stay) << row.name;
    for (const std::string& path : row.deletedAs) {
      EXPECT_EQ(CountCalls("RemoveListedFile", path), 1) << row.name << ": " << path;
    }
    if (!row.deletedAs.empty()) {
      EXPECT_EQ(CountCalls("RemoveListedFile"), static_cast<int>(row.deletedAs.size()))
          << row.name;
    }
    if (row.finds >= 0) {
      EXPECT_EQ(CountCalls("FindFirst"), row.finds) << row.name;
    }
    EXPECT_EQ(fake::OpenFinds(), 0) << row.name;
    EXPECT_FALSE(fake::Exists("C:\\WINDOWS\\WININIT.INI")) << row.name;
    fileops_test::ExpectHeapBalanced(row.name);
  }
}

}  // namespace
