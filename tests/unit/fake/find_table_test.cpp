// The fake file search against the table that tests/e2e/tools/find_probe
// runs against the system's own FindFirstFileA: the same directory, the same
// patterns, the same names found, except on the rows that name the Windows
// 95 rule the fake follows instead.
#include <gtest/gtest.h>

#include "platform/fake/fake_machine.h"
#include "tests/unit/fake/find_table.h"

namespace {

const std::string kTable = std::string(SELDUNAX_TEST_DATA) + "/find/patterns.tsv";
// As find_probe lays it out: in the temporary directory "Temp" (the
// patterns "." and ".." name the directory and its parent).
const std::string kDir = "C:\\Temp\\find_table";

std::vector<std::string> Search(const std::string& pattern) {
  std::vector<std::string> names;
  plat::FindData fd;
  plat::FindHandle h = plat::FindFirst(pattern.c_str(), &fd);
  if (h == plat::kNoFind) return names;
  do {
    names.push_back(fd.name);
  } while (plat::FindNext(h, &fd));
  plat::FindEnd(h);
  return names;
}

TEST(FindTable, FakeSearchFindsEveryRowsNames) {
  findtable::Table table;
  std::string error;
  ASSERT_TRUE(findtable::Load(kTable, &table, &error)) << error;
  ASSERT_GT(table.entries.size(), 20u);
  ASSERT_GT(table.rows.size(), 100u);
  fake::Reset();
  for (const findtable::Entry& e : table.entries) {
    if (e.dir) {
      fake::AddDir(kDir + "\\" + e.name);
    } else {
      fake::AddFile(kDir + "\\" + e.name, "");
    }
  }
  for (const findtable::Row& row : table.rows) {
    const std::string& expected = row.fake.empty() ? row.system : row.fake;
    std::string mismatch =
        findtable::Check(row, expected, Search(kDir + "\\" + row.pattern));
    EXPECT_TRUE(mismatch.empty()) << mismatch;
  }
  EXPECT_EQ(0, fake::OpenFinds());
}

}  // namespace
