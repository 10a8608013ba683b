// Reading values and numbered key lists from the control file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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
  bool path;  // read as a path: macros expanded
  ListValue result;
  std::string value;
};

TEST(ReadControlKey, PathValuesAtTheirLimits) {
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
    NumberedKeys keys = PathListKeys(kControlPath, "delete", "");
    keys.expandMacros = row.path;
    ListValue result = ReadControlKey(keys, row.key, out);
    EXPECT_EQ(result, row.result) << row.label;
    ASSERT_NE(memchr(out, '\0', sizeof out), nullptr) << row.label;
    EXPECT_EQ(std::string(out), row.value) << row.label;
  }
}

TEST(ReadControlKey, MissingControlFileOrSection) {
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
    EXPECT_EQ(ReadControlKey(PathListKeys(row.path, row.section, ""),
                             row.key, out),
              row.result)
        << row.path << " [" << row.section << "] " << row.key;
  }
}

// Each way of reading a list at the edge of its buffer: a cut value keeps
// its first size - 1 characters, a passed-over one stores nothing, and a
// quoted value is measured without its quotes.
TEST(ReadNumberedKey, BufferEdgeByOverLongAndPrefix) {
  fake::Reset();
  WriteControlFile(kControlPath,
                   "[list]\n"
                   "1=ABCD\n"
                   "2=ABCDE\n"
                   "3=\"ABCD\"\n"
                   "4=\"ABCDE\"\n"
                   "FROM1=XY\n"
                   "FROM2=\n"
                   "TO1=%WINDIR%\n"
                   "TO2=%WINSYS%\\A\n");
  struct Row {
    const char* prefix;
    int n;
    OverLong overLong;
    bool expandMacros;
    ListValue result;
    const char* value;
  };
  // Buffers of 5 bytes: values of 4 characters fit.
  const Row rows[] = {
      {"", 1, OverLong::Cut, false, ListValue::Ok, "ABCD"},
      {"", 2, OverLong::Cut, false, ListValue::Ok, "ABCD"},
      {"", 2, OverLong::PassOver, false, ListValue::TooLong, ""},
      {"", 1, OverLong::PassOver, false, ListValue::Ok, "ABCD"},
      {"", 3, OverLong::PassOver, false, ListValue::Ok, "ABCD"},
      {"", 4, OverLong::PassOver, false, ListValue::TooLong, ""},
      {"", 4, OverLong::Cut, false, ListValue::Ok, "ABCD"},
      {"", 5, OverLong::Cut, false, ListValue::End, ""},
      {"FROM", 1, OverLong::Cut, false, ListValue::Ok, "XY"},
      {"FROM", 2, OverLong::Cut, false, ListValue::End, ""},
      {"TO", 1, OverLong::PassOver, false, ListValue::TooLong, ""},
      // Eight characters: over the buffer before any expansion.
      {"TO", 1, OverLong::PassOver, true, ListValue::TooLong, ""},
  };
  for (const Row& row : rows) {
    const NumberedKeys keys = {kControlPath, "list", row.prefix, 5,
                               row.overLong, row.expandMacros};
    char out[5];
    memset(out, 'J', sizeof out);
    ListValue result = ReadNumberedKey(keys, row.n, out);
    std::string label = std::string(row.prefix) + std::to_string(row.n) +
                        (row.overLong == OverLong::Cut ? " cut" : " passed");
    EXPECT_EQ(result, row.result) << label;
    ASSERT_NE(memchr(out, '\0', sizeof out), nullptr) << label;
    EXPECT_STREQ(out, row.value) << label;
  }
}

// The cursor yields the expanded paths in key order, passes over the ones
// too long and stops at the first missing or empty key.
TEST(NextListPath, WalksTheListInKeyOrder) {
  const std::string v256 = "C:\\" + std::string(253, 'v');
  struct Row {
    const char* label;
    std::string section;
    std::vector<std::string> paths;
  };
  const Row rows[] = {
      {"empty list", "[deltree]\n", {}},
      {"no section", "", {}},
      {"plain and expanded", "[deltree]\n1=C:\\A\n2=%WINSYS%\\B\n",
       {"C:\\A", "C:\\WINDOWS\\SYSTEM\\B"}},
      {"too long passed over", "[deltree]\n1=" + v256 + "\n2=C:\\B\n",
       {"C:\\B"}},
      {"gap ends the list", "[deltree]\n1=C:\\A\n3=C:\\C\n", {"C:\\A"}},
      {"empty value ends it", "[deltree]\n1=\n2=C:\\B\n", {}},
      {"keys read by number, not by line",
       "[deltree]\n2=C:\\B\n1=C:\\A\n", {"C:\\A", "C:\\B"}},
      {"other sections unread", "[delete]\n1=C:\\X\n[deltree]\n1=C:\\A\n",
       {"C:\\A"}},
  };
  for (const Row& row : rows) {
    fake::Reset();
    WriteControlFile(kControlPath, row.section);
    ListPathCursor cursor = StartListPaths(kControlPath, "deltree");
    std::vector<std::string> got;
    char path[kPathSize];
    while (NextListPath(&cursor, path) && got.size() < 10) got.push_back(path);
    EXPECT_EQ(got, row.paths) << row.label;
    // The end stays the end.
    EXPECT_FALSE(NextListPath(&cursor, path)) << row.label;
  }
}

}  // namespace
