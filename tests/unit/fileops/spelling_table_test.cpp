// The spelling table (tests/data/paths/spellings.tsv) on the fake machine:
// each spelling's normal form, the guard's verdict and its WININIT.INI
// entry. tests/e2e/tools/platform_probe runs the same rows under Wine.
#include <gtest/gtest.h>

#include "platform/fake/fake_machine.h"
#include "tests/unit/fileops/spelling_table.h"

namespace {

const std::string kTable =
    std::string(SELDUNAX_TEST_DATA) + "/paths/spellings.tsv";

TEST(SpellingTable, EverySpellingResolvesAsItsRowSays) {
  spelling::Table table;
  std::string error;
  ASSERT_TRUE(spelling::Load(kTable, &table, &error)) << error;
  ASSERT_GT(table.rows.size(), 30u);
  fake::Reset();
  for (const std::string& dir : table.dirs) {
    fake::AddDir(spelling::Expand(dir));
  }
  for (const std::string& file : table.files) {
    fake::AddFile(spelling::Expand(file), "x");
  }
  fake::SetCurrentDir(table.cwd);
  for (const spelling::Row& row : table.rows) {
    std::string problems =
        spelling::Check(row, spelling::Resolve(spelling::Expand(row.spelling)));
    EXPECT_TRUE(problems.empty()) << problems;
  }
}

}  // namespace
