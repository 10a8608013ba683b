// [copy] and [delete]: pairs copied up to the first empty FROM or TO, files
// deleted now or, failing that, at the next start.
#include <functional>

#include "fileops/file_lists.h"
#include "tests/unit/fileops/fileops_fixture.h"
#include "tests/unit/support/scratch_record.h"

namespace {

using fileops_test::CountCalls;
using fileops_test::Create;
using fileops_test::Item;
using fileops_test::kControl;

const std::string kLong = "C:\\" + fileops_test::LongName(260);

struct CopyRow {
  const char* name;
  std::string ini;
  std::vector<Item> files;
  // Target path and the contents it must hold afterwards ("" = absent).
  std::vector<std::pair<std::string, std::string>> expect;
  int copyReads;  // ReadProfileString calls on [copy]
  // The files among files that the later lists must leave: sources of
  // copies not made.
  std::vector<std::string> kept = {};
};

TEST(RunCopyList, CopiesPairsUpToTheFirstEmptyValue) {
  const std::vector<CopyRow> rows = {
      {"pairs in order, target overwritten",
       "[copy]\nFROM1=C:\\SRC\\A.DRV\nTO1=C:\\WINDOWS\\A.DRV\n"
       "FROM2=C:\\SRC\\B.DRV\nTO2=C:\\WINDOWS\\B.DRV\n",
       {{"C:\\SRC\\A.DRV"}, {"C:\\SRC\\B.DRV"}, {"C:\\WINDOWS\\A.DRV"}},
       {{"C:\\WINDOWS\\A.DRV", "data of C:\\SRC\\A.DRV"},
        {"C:\\WINDOWS\\B.DRV", "data of C:\\SRC\\B.DRV"}},
       5},
      {"macros expanded on both sides",
       "[copy]\nFROM1=%WINDIR%\\X.DRV\nTO1=%WINSYS%\\X.DRV\n",
       {{"C:\\WINDOWS\\X.DRV"}},
       {{"C:\\WINDOWS\\SYSTEM\\X.DRV", "data of C:\\WINDOWS\\X.DRV"}},
       3},
      {"missing TO2 ends the list: FROM3 never read",
       "[copy]\nFROM1=C:\\SRC\\A.DRV\nTO1=C:\\T\\A.DRV\nFROM2=C:\\SRC\\B.DRV\n"
       "FROM3=C:\\SRC\\C.DRV\nTO3=C:\\T\\C.DRV\n",
       {{"C:\\SRC\\A.DRV"}, {"C:\\SRC\\B.DRV"}, {"C:\\SRC\\C.DRV"}, {"C:\\T\\"}},
       {{"C:\\T\\A.DRV", "data of C:\\SRC\\A.DRV"}, {"C:\\T\\C.DRV", ""}},
       4},
      {"empty TO1 value ends the list at once",
       "[copy]\nFROM1=C:\\SRC\\A.DRV\nTO1=\nFROM2=C:\\SRC\\A.DRV\n"
       "TO2=C:\\T\\A.DRV\n",
       {{"C:\\SRC\\A.DRV"}, {"C:\\T\\"}},
       {{"C:\\T\\A.DRV", ""}},
       2},
      {"failed copy passed over",
       "[copy]\nFROM1=C:\\SRC\\GONE.DRV\nTO1=C:\\T\\GONE.DRV\n"
       "FROM2=C:\\SRC\\B.DRV\nTO2=C:\\NODIR\\B.DRV\n"
       "FROM3=C:\\SRC\\B.DRV\nTO3=C:\\T\\B.DRV\n",
       {{"C:\\SRC\\B.DRV"}, {"C:\\T\\"}},
       {{"C:\\T\\GONE.DRV", ""},
        {"C:\\NODIR\\B.DRV", ""},
        {"C:\\T\\B.DRV", "data of C:\\SRC\\B.DRV"}},
       7, {"C:\\SRC\\B.DRV"}},
      {"a source spelled otherwise is kept all the same",
       "[copy]\nFROM1=C:\\SRC\\.\\A.DRV\nTO1=C:\\NODIR\\A.DRV\n",
       {{"C:\\SRC\\A.DRV"}}, {{"C:\\NODIR\\A.DRV", ""}},
       3, {"C:\\SRC\\A.DRV"}},
      {"read-only target: no copy, its source kept",
       "[copy]\nFROM1=C:\\SRC\\A.DRV\nTO1=C:\\T\\A.DRV\n",
       {{"C:\\SRC\\A.DRV"}, {"C:\\T\\A.DRV", plat::kAttrReadOnly}},
       {{"C:\\T\\A.DRV", "data of C:\\T\\A.DRV"}},
       3, {"C:\\SRC\\A.DRV"}},
      {"over-long FROM passed over, list goes on",
       "[copy]\nFROM1=" + kLong + "\nTO1=C:\\T\\A.DRV\n"
       "FROM2=C:\\SRC\\B.DRV\nTO2=C:\\T\\B.DRV\n",
       {{"C:\\SRC\\B.DRV"}, {"C:\\T\\"}},
       {{"C:\\T\\A.DRV", ""}, {"C:\\T\\B.DRV", "data of C:\\SRC\\B.DRV"}},
       5},
      {"over-long expansion of TO passed over",
       "[copy]\nFROM1=C:\\SRC\\A.DRV\nTO1=%WINSYS%\\" +
           fileops_test::LongName(240) +
           "\nFROM2=C:\\SRC\\A.DRV\nTO2=C:\\T\\A.DRV\n",
       {{"C:\\SRC\\A.DRV"}, {"C:\\T\\"}},
       {{"C:\\T\\A.DRV", "data of C:\\SRC\\A.DRV"}},
       5, {"C:\\SRC\\A.DRV"}},
      {"no [copy] section", "[delete]\n1=C:\\SRC\\A.DRV\n", {{"C:\\SRC\\A.DRV"}},
       {{"C:\\SRC\\A.DRV", "data of C:\\SRC\\A.DRV"}}, 1},
  };
  for (const CopyRow& row : rows) {
    fake::Reset();
    WriteControlFile(kControl, row.ini);
    Create(row.files);
    // As on a disk of 8.3 names: each file's short form is its name.
    for (const Item& item : row.files) fake::SetShortPath(item.path, item.path);
    NotDone notDone{};
    RunCopyList(kControl, &notDone);
    for (const Item& item : row.files) {
      bool kept = false;
      for (const std::string& path : row.kept) kept = kept || path == item.path;
      EXPECT_EQ(MustKeep(&notDone, item.path.c_str()), kept)
          << row.name << ": " << item.path;
    }
    for (const std::string& path : fake::ListTree()) {
      EXPECT_EQ(path.find('$'), std::string::npos) << row.name << ": " << path;
    }
    for (const auto& [path, data] : row.expect) {
      if (data.empty()) {
        EXPECT_FALSE(fake::Exists(path)) << row.name << ": " << path;
      } else {
        EXPECT_EQ(fake::ReadFile(path), data) << row.name << ": " << path;
      }
    }
    EXPECT_EQ(CountCalls("ReadProfileString", "copy"), row.copyReads)
        << row.name;
  }
}

struct DeleteRow {
  const char* name;
  std::string ini;
  std::vector<Item> files;
  std::vector<std::string> gone;
  std::vector<std::string> stay;
  std::string wininit;  // expected WININIT.INI ("" = no file)
  int notDone = 0;      // files neither deleted nor entered
  std::function<void()> setup = [] {};
};

TEST(RunDeleteList, DeletesNowOrAtTheNextStart) {
  const std::vector<DeleteRow> rows = {
      {"deletable files go, nothing scheduled",
       "[delete]\n1=C:\\WINDOWS\\A.DRV\n2=%WINSYS%\\B.VXD\n",
       {{"C:\\WINDOWS\\A.DRV"}, {"C:\\WINDOWS\\SYSTEM\\B.VXD"}},
       {"C:\\WINDOWS\\A.DRV", "C:\\WINDOWS\\SYSTEM\\B.VXD"},
       {},
       ""},
      {"missing file: nothing to delete at the next start either",
       "[delete]\n1=C:\\WINDOWS\\GONE.DRV\n2=C:\\NODIR\\GONE.DRV\n",
       {},
       {},
       {},
       ""},
      {"in use without an 8.3 path, or WININIT.INI not writable: not done",
       "[delete]\n1=C:\\Long Name\\file.dat\n2=C:\\WINDOWS\\BUSY.DRV\n"
       "3=C:\\WINDOWS\\GONE.DRV\n",
       {{"C:\\Long Name\\file.dat", 0, true},
        {"C:\\WINDOWS\\BUSY.DRV", 0, true},
        {"C:\\WINDOWS\\WININIT.INI", plat::kAttrReadOnly}},
       {},
       {"C:\\Long Name\\file.dat", "C:\\WINDOWS\\BUSY.DRV"},
       "data of C:\\WINDOWS\\WININIT.INI",
       2},
      {"in use without an 8.3 path: the others still entered",
       "[delete]\n1=C:\\Long Name\\file.dat\n2=C:\\WINDOWS\\BUSY.DRV\n",
       {{"C:\\Long Name\\file.dat", 0, true},
        {"C:\\WINDOWS\\BUSY.DRV", 0, true}},
       {},
       {"C:\\Long Name\\file.dat", "C:\\WINDOWS\\BUSY.DRV"},
       "[rename]\r\nNUL=C:\\WINDOWS\\BUSY.DRV\r\n",
       1,
       // A system that gives no short names (NT without them) keeps the
       // long one.
       [] {
         fake::SetShortPath("C:\\Long Name\\file.dat",
                            "C:\\Long Name\\file.dat");
       }},
      {"in-use and read-only files stay and are scheduled, newest first",
       "[delete]\n1=%WINSYS%\\BUSY.VXD\n2=C:\\WINDOWS\\A.DRV\n"
       "3=C:\\WINDOWS\\RO.DRV\n",
       {{"C:\\WINDOWS\\SYSTEM\\BUSY.VXD", 0, true},
        {"C:\\WINDOWS\\A.DRV"},
        {"C:\\WINDOWS\\RO.DRV", plat::kAttrReadOnly}},
       {"C:\\WINDOWS\\A.DRV"},
       {"C:\\WINDOWS\\SYSTEM\\BUSY.VXD", "C:\\WINDOWS\\RO.DRV"},
       "[rename]\r\nNUL=C:\\WINDOWS\\RO.DRV\r\n"
       "NUL=C:\\WINDOWS\\SYSTEM\\BUSY.VXD\r\n"},
      {"gap ends the list",
       "[delete]\n1=C:\\WINDOWS\\A.DRV\n3=C:\\WINDOWS\\B.DRV\n",
       {{"C:\\WINDOWS\\A.DRV"}, {"C:\\WINDOWS\\B.DRV"}},
       {"C:\\WINDOWS\\A.DRV"},
       {"C:\\WINDOWS\\B.DRV"},
       ""},
      {"over-long value neither deleted nor scheduled, list goes on",
       "[delete]\n1=" + kLong + "\n2=%WINSYS%\\" +
           fileops_test::LongName(240) + "\n3=C:\\WINDOWS\\A.DRV\n",
       {{"C:\\WINDOWS\\A.DRV"}},
       {"C:\\WINDOWS\\A.DRV"},
       {},
       ""},
  };
  for (const DeleteRow& row : rows) {
    fake::Reset();
    WriteControlFile(kControl, row.ini);
    Create(row.files);
    row.setup();
    NotDone notDone{};
    RunDeleteList(kControl, &notDone);
    EXPECT_EQ(notDone.count, row.notDone) << row.name;
    for (const std::string& path : row.gone) {
      EXPECT_FALSE(fake::Exists(path)) << row.name << ": " << path;
    }
    for (const std::string& path : row.stay) {
      EXPECT_TRUE(fake::Exists(path)) << row.name << ": " << path;
    }
    const std::string wininit = "C:\\WINDOWS\\WININIT.INI";
    if (row.wininit.empty()) {
      EXPECT_FALSE(fake::Exists(wininit)) << row.name;
    } else {
      EXPECT_EQ(fake::ReadFile(wininit), row.wininit) << row.name;
    }
  }
}

}  // namespace
