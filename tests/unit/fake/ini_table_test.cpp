// The fake INI reader, and the look-up over a file's text alone that the
// checker's host machine uses, against the table that
// tests/e2e/tools/ini_probe runs against the system's own reader: each must
// give every row's value, in both readings (Windows 95's, the NT family's).
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/fake_machine.h"
#include "platform/profile/profile_reader.h"
#include "tests/unit/fake/ini_table.h"

namespace {

const std::string kTableDir = std::string(SELDUNAX_TEST_DATA) + "/ini/";

TEST(IniTable, BothReadersGiveEveryRowsValueInEachReading) {
  std::vector<initable::Row> rows;
  std::string error;
  ASSERT_TRUE(initable::Load(kTableDir + "lookups.tsv", &rows, &error))
      << error;
  ASSERT_GT(rows.size(), 50u);
  for (ProfileReading reading :
       {ProfileReading::Windows95, ProfileReading::NtFamily}) {
    bool windows95 = reading == ProfileReading::Windows95;
    const char* which = windows95 ? "Windows 95, " : "NT family, ";
    for (const initable::Row& row : rows) {
      fake::Reset();
      fake::SetProfileReading(reading);
      std::string data;
      if (initable::ReadAll(kTableDir + row.file, &data)) {
        fake::AddFile("C:\\INI\\" + row.file, data);
      }
      const char* def = row.defNull ? nullptr : row.def.c_str();
      char buf[initable::kBufferSize];
      std::memset(buf, initable::kGuard, sizeof buf);
      std::string path = "C:\\INI\\" + row.file;
      uint32_t ret = plat::ReadProfileString(
          row.section.c_str(), row.key.c_str(), def, buf, row.size,
          path.c_str());
      std::string mismatch = initable::Check(row, buf, ret, windows95);
      EXPECT_TRUE(mismatch.empty()) << which << "fake machine: " << mismatch;
      std::string text(data.size(), '\0');
      text.resize(ProfileText(data.data(), data.size(), reading, &text[0],
                              nullptr));
      std::memset(buf, initable::kGuard, sizeof buf);
      ret = LookUpProfileString(text.data(), text.size(), reading,
                                row.section.c_str(), row.key.c_str(), def,
                                buf, row.size);
      mismatch = initable::Check(row, buf, ret, windows95);
      EXPECT_TRUE(mismatch.empty()) << which << "text alone: " << mismatch;
    }
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
