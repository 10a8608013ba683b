// The fake registry: enumeration order, the shift after a deletion, error
// codes and handles, which the device removal relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"

namespace {

constexpr long kNotFound = 2;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;

std::vector<std::string> Subkeys(plat::RegKey key) {
  std::vector<std::string> names;
  char name[256];
  for (uint32_t i = 0; plat::EnumRegSubkey(key, i, name, sizeof name) ==
                       plat::kRegOk;
       ++i) {
    names.push_back(name);
  }
  return names;
}

void MakeIsaPnp() {
  fake::Reset();
  for (const char* id : {"VAN0001", "OTHER01", "VAN0002", "VAN0003"}) {
    fake::AddRegKey(std::string("HKLM\\ENUM\\ISAPNP\\") + id + "\\INST");
  }
}

TEST(FakeRegistry, DeletionShiftsLaterSubkeysDown) {
  struct Row {
    const char* deleted;
    std::vector<std::string> left;
  } rows[] = {
      {"VAN0001", {"OTHER01", "VAN0002", "VAN0003"}},
      {"van0002", {"VAN0001", "OTHER01", "VAN0003"}},
      {"VAN0003\\INST", {"VAN0001", "OTHER01", "VAN0002", "VAN0003"}},
  };
  for (const Row& row : rows) {
    MakeIsaPnp();
    plat::RegKey key = 0;
    ASSERT_EQ(plat::kRegOk,
              plat::OpenRegKey(plat::kHkeyLocalMachine, "ENUM\\ISAPNP", &key));
    EXPECT_EQ(plat::kRegOk, plat::DeleteRegTree(key, row.deleted))
        << row.deleted;
    EXPECT_EQ(row.left, Subkeys(key)) << "after deleting " << row.deleted;
    plat::CloseRegKey(key);
  }
}

TEST(FakeRegistry, DeletingWhileEnumeratingSkipsTheNextKey) {
  // The classic pattern: deleting at index i and then asking for i + 1
  // passes over the key that moved down into i.
  MakeIsaPnp();
  plat::RegKey key = 0;
  ASSERT_EQ(plat::kRegOk,
            plat::OpenRegKey(plat::kHkeyLocalMachine, "ENUM\\ISAPNP", &key));
  char name[256];
  ASSERT_EQ(plat::kRegOk, plat::EnumRegSubkey(key, 2, name, sizeof name));
  EXPECT_STREQ("VAN0002", name);
  ASSERT_EQ(plat::kRegOk, plat::DeleteRegTree(key, name));
  ASSERT_EQ(plat::kRegOk, plat::EnumRegSubkey(key, 2, name, sizeof name));
  EXPECT_STREQ("VAN0003", name);
  EXPECT_EQ(kNoMoreItems, plat::EnumRegSubkey(key, 3, name, sizeof name));
  plat::CloseRegKey(key);
  EXPECT_FALSE(fake::RegKeyExists("HKLM\\ENUM\\ISAPNP\\VAN0002\\INST"));
  EXPECT_TRUE(fake::RegKeyExists("hklm\\enum\\isapnp\\van0003\\inst"));
}

TEST(FakeRegistry, CallsReturnTheSystemsCodes) {
  fake::Reset();
  fake::AddRegKey("HKLM\\A\\LONGNAME");
  fake::SetRegString("HKLM\\A", "Text", "abc");
  fake::SetRegDword("HKLM\\A", "Num", 0x2a);
  plat::RegKey a = 0;
  ASSERT_EQ(plat::kRegOk, plat::OpenRegKey(plat::kHkeyLocalMachine, "a", &a));
  char buf[16];
  uint32_t size;
  struct Row {
    const char* what;
    long got;
    long expected;
  } rows[] = {
      {"open missing", plat::OpenRegKey(a, "NOPE", &a), kNotFound},
      {"open missing below", plat::OpenRegKey(a, "LONGNAME\\X", &a), kNotFound},
      {"enum fits", plat::EnumRegSubkey(a, 0, buf, 9), plat::kRegOk},
      {"enum too small", plat::EnumRegSubkey(a, 0, buf, 8), kMoreData},
      {"enum past end", plat::EnumRegSubkey(a, 1, buf, 16), kNoMoreItems},
      {"query missing", (size = 16, plat::QueryRegValue(a, "x", buf, &size)),
       kNotFound},
      {"query too small", (size = 3, plat::QueryRegValue(a, "text", buf, &size)),
       kMoreData},
      {"query fits", (size = 4, plat::QueryRegValue(a, "TEXT", buf, &size)),
       plat::kRegOk},
      {"delete missing", plat::DeleteRegTree(a, "NOPE"), kNotFound},
      {"delete missing value", plat::DeleteRegValue(a, "NOPE"), kNotFound},
      {"enum on a closed handle", plat::EnumRegSubkey(0x4321, 0, buf, 16), 6},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, row.got) << row.what;
  EXPECT_EQ(0, std::memcmp(buf, "abc", 4));
  EXPECT_EQ(4u, size);
  uint32_t dword = 0;
  size = sizeof dword;
  EXPECT_EQ(plat::kRegOk, plat::QueryRegValue(a, "Num", &dword, &size));
  EXPECT_EQ(0x2au, dword);
  EXPECT_EQ(1, fake::OpenRegHandles());
  EXPECT_EQ(plat::kRegOk, plat::CloseRegKey(a));
  EXPECT_EQ(0, fake::OpenRegHandles());
  EXPECT_NE(plat::kRegOk, plat::CloseRegKey(a));
}

TEST(FakeRegistry, TooSmallBufferCopiesNothing) {
  fake::Reset();
  fake::SetRegString("HKLM\\A", "Text", "abcdef");
  plat::RegKey a = 0;
  ASSERT_EQ(plat::kRegOk, plat::OpenRegKey(plat::kHkeyLocalMachine, "A", &a));
  char buf[8] = "zzzzzzz";
  uint32_t size = 4;
  EXPECT_EQ(kMoreData, plat::QueryRegValue(a, "Text", buf, &size));
  EXPECT_STREQ("zzzzzzz", buf);
  plat::CloseRegKey(a);
}

TEST(FakeRegistry, HandlesOfDeletedKeysFailWithoutHarm) {
  MakeIsaPnp();
  plat::RegKey dev = 0, inst = 0;
  ASSERT_EQ(plat::kRegOk, plat::OpenRegKey(plat::kHkeyLocalMachine,
                                           "ENUM\\ISAPNP\\VAN0001", &dev));
  ASSERT_EQ(plat::kRegOk, plat::OpenRegKey(dev, "INST", &inst));
  ASSERT_EQ(plat::kRegOk,
            plat::DeleteRegTree(plat::kHkeyLocalMachine, "ENUM\\ISAPNP"));
  char name[256];
  uint32_t size = sizeof name;
  EXPECT_NE(plat::kRegOk, plat::EnumRegSubkey(dev, 0, name, sizeof name));
  EXPECT_NE(plat::kRegOk, plat::QueryRegValue(inst, "x", name, &size));
  EXPECT_NE(plat::kRegOk, plat::OpenRegKey(inst, "", &dev));
  EXPECT_NE(plat::kRegOk, plat::DeleteRegTree(dev, "INST"));
  EXPECT_EQ(plat::kRegOk, plat::CloseRegKey(inst));
  EXPECT_EQ(plat::kRegOk, plat::CloseRegKey(dev));
  EXPECT_EQ(0, fake::OpenRegHandles());
  EXPECT_EQ(std::vector<std::string>({"HKLM", "HKLM\\ENUM"}),
            fake::RegDump("HKLM"));
}

TEST(FakeRegistry, DumpShowsKeysAndValuesInOrder) {
  fake::Reset();
  fake::AddRegKey("HKLM\\B");
  fake::SetRegString("HKLM\\A", "S", "x");
  fake::SetRegDword("HKLM\\A", "D", 42);
  fake::SetRegValue("HKLM\\A\\C", "Bin", std::string("\x01\xff", 2));
  EXPECT_EQ(std::vector<std::string>({
                "HKLM", "HKLM\\B", "HKLM\\A", "HKLM\\A : S = \"x\"",
                "HKLM\\A : D = dword:0x0000002a", "HKLM\\A\\C",
                "HKLM\\A\\C : Bin = hex:01 ff"}),
            fake::RegDump());
}

}  // namespace
