// The release tool's argument, as the uninstaller writes it and the tool
// reads it back.
#include "pnp/devnode_arg.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(DevnodeArg, FormatsLowercaseHexWithoutPrefixOrLeadingZeros) {
  struct Row {
    uint32_t devnode;
    const char* text;
  } rows[] = {
      {0, "0"},          {0x2F, "2f"},       {0xA, "a"},
      {0x10, "10"},      {0x00ABCDEF, "abcdef"},
      {0x7FFFFFFF, "7fffffff"}, {0x80000000, "80000000"},
      {0xFFFFFFFF, "ffffffff"},
  };
  for (const Row& row : rows) {
    char out[kDevnodeArgSize + 4];
    memset(out, 'x', sizeof out);
    int count = FormatDevnodeArg(row.devnode, out);
    EXPECT_STREQ(row.text, out) << "devnode 0x" << std::hex << row.devnode;
    EXPECT_EQ(static_cast<int>(strlen(row.text)), count) << row.text;
    EXPECT_EQ('x', out[kDevnodeArgSize]) << "wrote past the buffer: "
                                         << row.text;
  }
}

TEST(DevnodeArg, ParsesOnlyOneToEightLowercaseHexDigits) {
  struct Row {
    const char* text;
    bool ok;
    uint32_t devnode;
  } rows[] = {
      {"0", true, 0},
      {"2f", true, 0x2F},
      {"ffffffff", true, 0xFFFFFFFF},
      {"12345678", true, 0x12345678},
      {"0002f", true, 0x2F},
      {"", false, 0},
      {"2F", false, 0},
      {"0x2f", false, 0},
      {"123456789", false, 0},
      {"000000000", false, 0},
      {" 2f", false, 0},
      {"2f ", false, 0},
      {"-1", false, 0},
      {"+1", false, 0},
      {"g", false, 0},
      {"2f\n", false, 0},
  };
  for (const Row& row : rows) {
    uint32_t devnode = 0xDEADBEEF;
    EXPECT_EQ(row.ok, ParseDevnodeArg(row.text, &devnode))
        << "\"" << row.text << "\"";
    EXPECT_EQ(row.ok ? row.devnode : 0xDEADBEEF, devnode)
        << "\"" << row.text << "\"";
  }
}
