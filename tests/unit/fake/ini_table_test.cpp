// The fake INI reader, and the look-up over a file's bytes alone that the
// checker's host machine uses, against the table that
// tests/e2e/tools/ini_probe runs against the system's own reader: each must
// give every row's value.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/fake_machine.h"
#include "platform/profile/profile_reader.h"
#include "tests/unit/fake/ini_table.h"

namespace {

const std::string kTableDir = std::string(SELDUNAX_TEST_DATA) + "/ini/";

TEST(IniTable, BothReadersGiveEveryRowsValue) {
  std::vector<initable::Row> rows;
  std::string error;
  ASSERT_TRUE(initable::Load(kTableDir + "lookups.tsv", &rows, &error))
      << error;
  ASSERT_GT(rows.size(), 50u);
  for (const initable::Row& row : rows) {
    fake::Reset();
    std::string data;
    if (initable::ReadAll(kTableDir + row.file, &data)) {
      fake::AddFile("C:\\INI\\" + row.file, data);
    }
    const char* def = row.defNull ? nullptr : row.def.c_str();
    char buf[initable::kBufferSize];
    std::memset(buf, initable::kGuard, sizeof buf);
    std::string path = "C:\\INI\\" + row.file;
    uint32_t ret = plat::ReadProfileString(row.section.c_str(), row.key.c_str(),
                                           def, buf, row.size, path.c_str());
    std::string mismatch = initable::Check(row, buf, ret);
    EXPECT_TRUE(mismatch.empty()) << "fake machine: " << mismatch;
    std::memset(buf, initable::kGuard, sizeof buf);
    ret = LookUpProfileString(data.data(), data.size(),
                              ProfileReading::Windows95, row.section.c_str(),
                              row.key.c_str(), def, buf, row.size);
    mismatch = initable::Check(row, buf, ret);
    EXPECT_TRUE(mismatch.empty()) << "bytes alone: " << mismatch;
  }
}

TEST(IniTable, ReturnedCountIsTheStoredLength) {
  // A NUL byte inside a value must not make the count disagree with the
  // string the caller sees.
  fake::Reset();
  fake::AddFile("C:\\N.INI", std::string("[N]\r\nk=a\0b\r\n", 12));
  char buf[16];
  EXPECT_EQ(1u, plat::ReadProfileString("N", "k", "d", buf, 16, "C:\\N.INI"));
  EXPECT_STREQ("a", buf);
}

}  // namespace
