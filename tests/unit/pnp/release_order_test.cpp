// The release of one device node: the broadcast records and the recipients
// word, and the order broadcasts, release tool, class driver key deletion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "pnp/device_release.h"
#include "pnp/pnp_devices.h"
#include "tests/unit/pnp/pnp_fixture.h"

namespace {

// The class driver key of device node 2f.
std::string DriversOf2f() { return kClass + "\\MEDIA\\0007"; }

// One device with two released instances, then a second device.
void TwoDevices() {
  NewMachine({"VNT"});
  AddInstance("VNT2300_DEV0", "0000", "MEDIA\\0007");
  AddInstance("VNT2300_DEV0", "0001", "MEDIA\\0008");
  AddClassDriver("MEDIA\\0007", 0x2F);
  AddClassDriver("MEDIA\\0008", 0x30);
  AddDevice("VNT2300_DEV1", "MEDIA\\0009", 0x31);
}

}  // namespace

TEST(ReleaseDeviceInstances, BroadcastsRemovalPendingThenComplete) {
  TwoDevices();
  // The platform narrows the recipients word to those a broadcast reached;
  // within one device the word is never set back.
  fake::SetRecipientsAfterBroadcast([](uint32_t in) { return in & 4u; });
  RemovePnpDevices(kControl);

  struct Row {
    uint32_t recipientsIn;
    uint32_t wparam;
    uint32_t devnode;
  } rows[] = {
      {5, 0x8003, 0x2F}, {4, 0x8004, 0x2F},  // first device, first instance
      {4, 0x8003, 0x30}, {4, 0x8004, 0x30},  // its second instance
      {5, 0x8003, 0x31}, {4, 0x8004, 0x31},  // next device: a new call
  };
  const auto& sent = fake::Broadcasts();
  ASSERT_EQ(sizeof rows / sizeof rows[0], sent.size());
  for (size_t i = 0; i < sent.size(); ++i) {
    const Row& row = rows[i];
    EXPECT_EQ(0x68u, sent[i].flags) << "broadcast " << i;
    EXPECT_EQ(row.recipientsIn, sent[i].recipientsIn) << "broadcast " << i;
    EXPECT_EQ(0x0219u, sent[i].message) << "broadcast " << i;
    EXPECT_EQ(row.wparam, sent[i].wparam) << "broadcast " << i;
    EXPECT_EQ(16u, sent[i].record.size) << "broadcast " << i;
    EXPECT_EQ(1u, sent[i].record.deviceType) << "broadcast " << i;
    EXPECT_EQ(0u, sent[i].record.reserved) << "broadcast " << i;
    EXPECT_EQ(row.devnode, sent[i].record.devnode) << "broadcast " << i;
  }
}

TEST(ReleaseDeviceInstances, RunsTheToolBetweenBroadcastsAndDeletion) {
  TwoDevices();
  struct Seen {
    std::string commandLine;
    bool classDriverKey;
    bool deviceKey;
    size_t broadcasts;
  };
  std::vector<Seen> seen;
  fake::OnRun([&seen](const fake::Started& s) {
    std::string driver = s.commandLine == "DEVEJECT 2f"   ? "MEDIA\\0007"
                         : s.commandLine == "DEVEJECT 30" ? "MEDIA\\0008"
                                                          : "MEDIA\\0009";
    std::string device = s.commandLine == "DEVEJECT 31" ? "VNT2300_DEV1"
                                                        : "VNT2300_DEV0";
    seen.push_back({s.commandLine,
                    fake::RegKeyExists(kClass + "\\" + driver + "\\Drivers"),
                    fake::RegKeyExists(kIsaPnp + "\\" + device),
                    fake::Broadcasts().size()});
    return 3L;  // an error that must change nothing
  });
  RemovePnpDevices(kControl);

  struct Row {
    const char* commandLine;
    size_t broadcasts;
  } rows[] = {{"DEVEJECT 2f", 2}, {"DEVEJECT 30", 4}, {"DEVEJECT 31", 6}};
  ASSERT_EQ(3u, seen.size());
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(rows[i].commandLine, seen[i].commandLine) << "run " << i;
    EXPECT_TRUE(seen[i].classDriverKey) << rows[i].commandLine;
    EXPECT_TRUE(seen[i].deviceKey) << rows[i].commandLine;
    EXPECT_EQ(rows[i].broadcasts, seen[i].broadcasts) << rows[i].commandLine;
  }
  EXPECT_FALSE(fake::RegKeyExists(DriversOf2f()));
  EXPECT_FALSE(fake::RegKeyExists(kIsaPnp + "\\VNT2300_DEV0"));
  EXPECT_FALSE(fake::RegKeyExists(kIsaPnp + "\\VNT2300_DEV1"));
}

TEST(ReleaseDeviceInstances, LeavesTheDeviceKeyOpenAndInPlace) {
  NewMachine({});
  AddDevice("VNT2300_DEV0", "MEDIA\\0007", 0x2F);
  plat::RegKey device, classKey;
  ASSERT_EQ(plat::kRegOk,
            plat::OpenRegKey(plat::kHkeyLocalMachine,
                             "ENUM\\ISAPNP\\VNT2300_DEV0", &device));
  ASSERT_EQ(plat::kRegOk,
            plat::OpenRegKey(plat::kHkeyLocalMachine,
                             "System\\CurrentControlSet\\Services\\Class",
                             &classKey));
  ReleaseDeviceInstances(device, classKey, "VNT2300\0");
  EXPECT_EQ(2, fake::OpenRegHandles());
  EXPECT_TRUE(fake::RegKeyExists(kIsaPnp + "\\VNT2300_DEV0\\0000"));
  EXPECT_FALSE(fake::RegKeyExists(DriversOf2f()));
  char name[256];
  EXPECT_EQ(plat::kRegOk, plat::EnumRegSubkey(device, 0, name, sizeof name));
  plat::CloseRegKey(device);
  plat::CloseRegKey(classKey);
}

// Every key is closed by the one who opened it, each before it is deleted:
// the class driver's Drivers key before the class driver key goes, the
// instance key, then the device key before the device key goes, and the
// ISAPNP key before the Class key at the end.
TEST(RemovePnpDevices, ClosesEachKeyBeforeItGoesAndTheParentsLast) {
  NewMachine({"VNT"});
  AddDevice("VNT2300_DEV0", "MEDIA\\0007", 0x2F);
  RemovePnpDevices(kControl);

  std::vector<std::string> closesAndDeletions;
  for (const fake::Call& c : fake::CallLog()) {
    std::string function = c.function;
    if (function == "CloseRegKey" || function == "DeleteRegTree") {
      closesAndDeletions.push_back(function + " " + c.arg);
    }
  }
  const std::vector<std::string> expected = {
      "CloseRegKey " + DriversOf2f() + "\\Drivers",
      // The look for another device naming the class driver key.
      "CloseRegKey " + kIsaPnp,
      "CloseRegKey HKLM\\ENUM",
      "DeleteRegTree MEDIA\\0007",
      "CloseRegKey " + kIsaPnp + "\\VNT2300_DEV0\\0000",
      "CloseRegKey " + kIsaPnp + "\\VNT2300_DEV0",
      "DeleteRegTree VNT2300_DEV0",
      "CloseRegKey " + kIsaPnp,
      "CloseRegKey " + kClass,
  };
  EXPECT_EQ(expected, closesAndDeletions);
}
