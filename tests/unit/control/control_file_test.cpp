// Reading one value of a numbered list from the control file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "control/control_file.h"
#include "control/path_helpers.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/support/test_support.h"

namespace {

const char kControlPath[] = "C:\\DISK\\SELDUNAX.INI";

TEST(FormatListKey, NumbersWithAndWithoutPrefix) {
  struct Row {
    const char* prefix;
    int n;
    const char* key;
  };
  const Row rows[] = {
      {"", 1, "1"},
      {"", 16, "16"},
      {"FROM", 3, "FROM3"},
      {"TO", 120, "TO120"},
      {"", 0, "0"},
      {"", -7, "-7"},
      {"FROM", 2147483647, "FROM2147483647"},
      {"", -2147483647 - 1, "-2147483648"},
      // A prefix that leaves no room for the number is cut, never the number.
      {"PREFIXLONGER", 12345, "PREFIXLONG12345"},
      {"TOOLONGPREFIX", -2147483647 - 1, "TOOL-2147483648"}};
  for (const Row& row : rows) {
    char key[16];
    FormatListKey(key, row.prefix, row.n);
    EXPECT_STREQ(key, row.key) << row.prefix << row.n;
  }
}

struct ValueRow {
  const char* label;
  const char* key;
  bool path;  // ReadListPath instead of ReadListValue
  ListValue result;
  std::string value;
};

TEST(ReadListValue, ValuesAtTheirLimits) {
  const std::string v255 = "C:\\" + std::string(252, 'v');
  const std::string v256 = "C:\\" + std::string(253, 'v');
  // 254 and 253 characters, expanding to 256 and 255.
  const std::string m254 = "%WINDIR%\\" + std::string(245, 'm');
  const std::string m253 = "%WINDIR%\\" + std::string(244, 'm');
  fake::Reset();
  WriteControlFile(kControlPath,
                   "[delete]\n"
                   "1=C:\\A.DRV\n"
                   "2=\n"
                   "4=%WINDIR%\\B.DRV\n"
                   "5=" + v255 + "\n"
                   "6=" + v256 + "\n"
                   "7=" + m254 + "\n"
                   "8=" + m253 + "\n"
                   "9=%windir%\\C.DRV\n");
  const ValueRow rows[] = {
      {"plain value", "1", false, ListValue::Ok, "C:\\A.DRV"},
      {"empty value", "2", false, ListValue::End, ""},
      {"missing key", "3", false, ListValue::End, ""},
      {"macro is not expanded", "4", false, ListValue::Ok, "%WINDIR%\\B.DRV"},
      {"255 characters", "5", false, ListValue::Ok, v255},
      {"256 characters", "6", false, ListValue::TooLong, ""},
      {"path, expanded", "4", true, ListValue::Ok, "C:\\WINDOWS\\B.DRV"},
      {"path, empty", "2", true, ListValue::End, ""},
      {"path, 256 characters", "6", true, ListValue::TooLong, ""},
      {"path, expansion of 256", "7", true, ListValue::TooLong, ""},
      {"path, expansion of 255", "8", true, ListValue::Ok,
       "C:\\WINDOWS" + m253.substr(8)},
      {"path, lower-case macro", "9", true, ListValue::Ok, "%windir%\\C.DRV"},
  };
  for (const ValueRow& row : rows) {
    char out[kPathSize];
    memset(out, 'J', sizeof out);
    ListValue result =
        row.path ? ReadListPath(kControlPath, "delete", row.key, out)
                 : ReadListValue(kControlPath, "delete", row.key, out);
    EXPECT_EQ(result, row.result) << row.label;
    ASSERT_NE(memchr(out, '\0', sizeof out), nullptr) << row.label;
    EXPECT_EQ(std::string(out), row.value) << row.label;
  }
}

TEST(ReadListValue, MissingControlFileOrSection) {
  fake::Reset();
  WriteControlFile(kControlPath, "[copy]\nFROM1=C:\\A\n");
  struct Row {
    const char* path;
    const char* section;
    const char* key;
    ListValue result;
  };
  const Row rows[] = {
      {kControlPath, "copy", "FROM1", ListValue::Ok},
      {kControlPath, "copy", "TO1", ListValue::End},
      {kControlPath, "delete", "1", ListValue::End},
      {"C:\\DISK\\OTHER.INI", "copy", "FROM1", ListValue::End},
  };
  for (const Row& row : rows) {
    char out[kPathSize];
    EXPECT_EQ(ReadListValue(row.path, row.section, row.key, out), row.result)
        << row.path << " [" << row.section << "] " << row.key;
  }
}

}  // namespace
