// Reading [pnpids] into the id list, and matching device key names to it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "pnp/pnp_id_list.h"
#include "tests/unit/pnp/pnp_fixture.h"
#include "tests/unit/support/test_support.h"

namespace {

// "[pnpids]" with keys first..last, key n holding value(n).
std::string NumberedIds(int first, int last, const std::string& value) {
  std::string text = "[pnpids]\n";
  for (int n = first; n <= last; ++n) {
    text += std::to_string(n) + "=" + value + "\n";
  }
  return text;
}

std::vector<std::string> Split(const char* list) {
  std::vector<std::string> ids;
  for (const char* id = list; *id != '\0'; id += strlen(id) + 1) {
    ids.push_back(id);
  }
  return ids;
}

}  // namespace

TEST(PnpIdList, ReadsUpToTheGapTheCutAndTheByteLimit) {
  const std::string id24(24, 'A');
  struct Row {
    const char* name;
    std::string ini;  // the whole control file; absent when "-"
    std::vector<std::string> firstIds;
    size_t count;
  } rows[] = {
      {"two ids", "[pnpids]\n1=VNT2300\n2=VNT2301_DEV\n",
       {"VNT2300", "VNT2301_DEV"}, 2},
      {"gap after key 2", "[pnpids]\n1=A\n2=B\n4=D\n", {"A", "B"}, 2},
      {"empty key 2 ends the list", "[pnpids]\n1=A\n2=\n3=C\n", {"A"}, 1},
      {"empty section", "[pnpids]\n[copy]\nFROM1=X\n", {}, 0},
      {"no section", "[delete]\n1=C:\\X\n", {}, 0},
      {"no control file", "-", {}, 0},
      {"key 1 missing", "[pnpids]\n2=B\n", {}, 0},
      {"30 characters keep 24",
       "[pnpids]\n1=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\n2=B\n",
       {"ABCDEFGHIJKLMNOPQRSTUVWX", "B"}, 2},
      {"exactly 24 characters", "[pnpids]\n1=" + id24 + "\n", {id24}, 1},
      {"3000 one-character ids", NumberedIds(1, 3000, "Z"), {"Z", "Z"},
       2036},
      {"ids of 24 characters", NumberedIds(1, 400, id24), {id24}, 163},
      {"2035 one-character ids fit whole", NumberedIds(1, 2035, "Q"), {"Q"},
       2035},
  };
  for (const Row& row : rows) {
    fake::Reset();
    if (row.ini != "-") WriteControlFile(kControl, row.ini);
    // Guard bytes behind the 4096-byte list catch a write past its end.
    std::vector<char> buffer(kPnpIdListSize + 64, '\x5A');
    int count = ReadPnpIdList(kControl, buffer.data());
    std::vector<std::string> ids = Split(buffer.data());
    EXPECT_EQ(row.count, ids.size()) << row.name;
    EXPECT_EQ(static_cast<int>(row.count), count) << row.name;
    for (size_t i = 0; i < row.firstIds.size() && i < ids.size(); ++i) {
      EXPECT_EQ(row.firstIds[i], ids[i]) << row.name << ", id " << i + 1;
    }
    for (size_t i = kPnpIdListSize; i < buffer.size(); ++i) {
      ASSERT_EQ('\x5A', buffer[i]) << row.name << ": wrote byte " << i;
    }
  }
}

// An id is the first 24 characters of its value, the quotes around it
// dropped: a quoted id that fits keeps its last character (a shorter id
// would match more device keys), a longer one is cut the same whether
// quoted or not.
TEST(PnpIdList, IdsAtTheLimitQuotedOrNot) {
  for (size_t length : {23u, 24u, 25u, 26u, 1000u}) {
    for (const char* quote : {"", "\"", "'"}) {
      std::string id(length, 'V');
      id[length - 1] = 'E';  // the last character shows where it was cut
      std::string row = std::to_string(length) + " characters" +
                        (*quote ? std::string(", in ") + quote : "");
      fake::Reset();
      WriteControlFile(kControl, std::string("[pnpids]\n1=") + quote + id + quote +
                                     "\n2=" + quote + "B" + quote + "\n");
      std::vector<char> list(kPnpIdListSize, '\x5A');

      EXPECT_EQ(2, ReadPnpIdList(kControl, list.data())) << row;
      std::vector<std::string> expected = {id.substr(0, 24), "B"};
      EXPECT_EQ(expected, Split(list.data())) << row;
    }
  }
}

TEST(PnpIdList, MatchesCaseSensitivePrefixesOnly) {
  struct Row {
    std::vector<std::string> ids;
    const char* name;
    bool match;
  } rows[] = {
      {{"VNT2300"}, "VNT2300", true},
      {{"VNT2300"}, "VNT2300_DEV0", true},
      {{"VNT2300"}, "VNT230", false},  // the id is longer than the name
      {{"VNT2300"}, "vnt2300_DEV0", false},
      {{"vnt2300"}, "VNT2300", false},
      {{"VNT2300"}, "XVNT2300", false},
      {{"PNP0", "VNT"}, "VNT2300", true},  // a later id matches
      {{"PNP0", "VNT9"}, "VNT2300", false},
      {{}, "VNT2300", false},
      {{"A"}, "", false},
  };
  for (const Row& row : rows) {
    std::string list;
    for (const std::string& id : row.ids) list += id + '\0';
    list += '\0';
    EXPECT_EQ(row.match, MatchesPnpId(list.c_str(), row.name))
        << "name \"" << row.name << "\", first id \""
        << (row.ids.empty() ? "" : row.ids[0]) << "\"";
  }
}
