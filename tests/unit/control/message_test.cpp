// Assembling a message from its section and showing it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control/builtin_messages.h"
#include "control/message.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/support/test_support.h"

namespace {

const char kControlPath[] = "C:\\DISK\\SELDUNAX.INI";

struct MessageRow {
  const char* label;
  std::string section;  // the [MSG] section's lines ("" for no section)
  int result;
  std::string text;
};

std::string Keys(int from, int to, const std::string& value) {
  std::string lines;
  for (int n = from; n <= to; ++n) lines += std::to_string(n) + "=" + value + "\n";
  return lines;
}

TEST(LoadMessage, JoinsThePiecesOfASection) {
  const std::string x255(255, 'x');
  const std::string x256 = x255 + "y";
  const MessageRow rows[] = {
      {"no section", "", 0, ""},
      {"key 1 missing", "[MSG]\n2=Two\n3=Three\n", 0, ""},
      {"key 1 empty", "[MSG]\n1=\n2=Two\n", 0, ""},
      {"pieces and a line feed", "[MSG]\n1=Hello\n2=CR\n3=World\n", 1,
       "Hello\nWorld"},
      {"line feed alone", "[MSG]\n1=CR\n", 1, "\n"},
      {"not line feeds", "[MSG]\n1=cr\n2=Cr\n3=CR2\n4=xCR\n", 1, "crCrCR2xCR"},
      {"two line feeds", "[MSG]\n1=CR\n2=CR\n3=end\n", 1, "\n\nend"},
      {"gap ends the text", "[MSG]\n1=One\n2=Two\n3=\n4=Four\n", 1, "OneTwo"},
      {"missing key ends the text", "[MSG]\n1=One\n3=Three\n", 1, "One"},
      {"piece cut to 255", "[MSG]\n1=" + x256 + "\n2=z\n", 1, x255 + "z"},
      {"sixteen full pieces, key 17 ignored",
       "[MSG]\n" + Keys(1, 16, x255) + "17=seventeen\n", 1,
       std::string(16 * 255, 'x')},
      {"other sections do not count",
       "[OTHER]\n1=Other\n[MSG]\n1=Mine\n", 1, "Mine"},
  };
  for (const MessageRow& row : rows) {
    fake::Reset();
    if (!row.section.empty()) WriteControlFile(kControlPath, row.section);
    // Junk in the buffer: the text must be terminated where it ends.
    std::vector<char> buffer(kMessageBufferSize, 'J');

    int result =
        LoadMessage(buffer.data(), kMessageKeyCount, "MSG", kControlPath);
    EXPECT_EQ(result, row.result) << row.label;
    ASSERT_NE(memchr(buffer.data(), '\0', buffer.size()), nullptr) << row.label;
    EXPECT_EQ(std::string(buffer.data()), row.text) << row.label;
  }
}

// A piece is the first 255 characters of its value, the quotes around it
// dropped: a quoted value that fits keeps its last character, a longer one
// is cut the same whether quoted or not.
TEST(LoadMessage, PiecesAtTheLimitQuotedOrNot) {
  for (size_t length : {254u, 255u, 256u, 257u, 1000u}) {
    for (const char* quote : {"", "\"", "'"}) {
      std::string piece(length, 'x');
      piece[length - 1] = 'e';  // the last character shows where it was cut
      std::string row = std::to_string(length) + " characters" +
                        (*quote ? std::string(", in ") + quote : "");
      fake::Reset();
      WriteControlFile(kControlPath, std::string("[MSG]\n1=") + quote + piece + quote +
                                         "\n2=" + quote + "CR" + quote +
                                         "\n3=z\n");
      std::vector<char> buffer(kMessageBufferSize, 'J');

      EXPECT_EQ(LoadMessage(buffer.data(), kMessageKeyCount, "MSG",
                            kControlPath),
                1)
          << row;
      EXPECT_EQ(std::string(buffer.data()), piece.substr(0, 255) + "\nz")
          << row;
    }
  }
}

TEST(LoadMessage, CountLimitsTheKeysRead) {
  const std::string abc = "[MSG]\n1=a\n2=b\n3=c\n";
  struct Row {
    int count;
    std::string ini;
    std::string text;
  };
  // A larger count reads no more than the buffer holds.
  const Row rows[] = {{2, abc, "a"},
                      {3, abc, "ab"},
                      {17, abc, "abc"},
                      {kMessageKeyCount + 1, "[MSG]\n" + Keys(1, 17, "x"),
                       std::string(kMessageKeyCount - 1, 'x')}};
  for (const Row& row : rows) {
    fake::Reset();
    WriteControlFile(kControlPath, row.ini);
    char buffer[kMessageBufferSize];
    LoadMessage(buffer, row.count, "MSG", kControlPath);
    EXPECT_EQ(std::string(buffer), row.text) << row.count;
  }
}

TEST(ShowLookedUpMessage, SectionTextOrBuiltIn) {
  struct Row {
    const char* ini;
    uint32_t style;
    const char* shown;
  };
  const Row rows[] = {
      {"[MSG]\n1=From the file\n", plat::kMbOk, "From the file"},
      {"[MSG]\n2=Not read\n", plat::kMbOk, "Built in"},
      {"[OTHER]\n1=Elsewhere\n", plat::kMbYesNo, "Built in"},
  };
  for (const Row& row : rows) {
    fake::Reset();
    WriteControlFile(kControlPath, row.ini);
    fake::QueueAnswer(plat::kIdNo);
    char buffer[kMessageBufferSize];

    int answer = ShowLookedUpMessage(buffer, "MSG", "Built in", kControlPath,
                                     VANTORIS_TITLE, row.style);
    EXPECT_EQ(answer, plat::kIdNo) << row.ini;
    ASSERT_EQ(fake::Boxes().size(), 1u) << row.ini;
    EXPECT_EQ(fake::Boxes()[0].text, row.shown) << row.ini;
    EXPECT_EQ(fake::Boxes()[0].title, VANTORIS_TITLE) << row.ini;
    EXPECT_EQ(fake::Boxes()[0].style, row.style) << row.ini;
  }
}

}  // namespace
