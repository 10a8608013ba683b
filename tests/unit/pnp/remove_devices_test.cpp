// Removing the card's device keys: which keys go, which stay, which device
// nodes the release tool is run on, and that the walk always ends.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "pnp/pnp_devices.h"
#include "tests/unit/pnp/pnp_fixture.h"

namespace {

std::string Dev(const std::string& name) { return kIsaPnp + "\\" + name; }
std::string Cls(const std::string& name) { return kClass + "\\" + name; }

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

// Every broadcast pair names the devnode of the run that follows it.
std::vector<std::string> BroadcastArgs() {
  std::vector<std::string> args;
  const auto& all = fake::Broadcasts();
  for (size_t i = 0; i + 1 < all.size(); i += 2) {
    char text[32];
    snprintf(text, sizeof text, "DEVEJECT %x",
             static_cast<unsigned>(all[i].record.devnode));
    args.push_back(text);
  }
  return args;
}

}  // namespace

TEST(RemovePnpDevices, RemovesMatchingDevicesAndTheirClassDriverKeys) {
  const std::string driver255 = "MEDIA\\" + std::string(249, 'K');
  const std::string driver256 = "MEDIA\\" + std::string(250, 'L');
  struct Row {
    const char* name;
    std::vector<std::string> ids;
    std::function<void()> setup;
    std::function<bool(const fake::Call&)> fail;  // may be empty
    std::vector<std::string> gone;
    std::vector<std::string> runs;  // DEVEJECT arguments, in order
  } rows[] = {
      {"an id removes every device whose name it begins",
       {"VNT2300"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0007", 0x2F);
         AddDevice("VNT2300_DEV1", "MEDIA\\0008", 0x30);  // right after DEV0
         AddDevice("VNT23", "MEDIA\\0009", 0x31);         // shorter than id
         AddDevice("vnt2300_LOW", "MEDIA\\0010", 0x32);   // other case
         AddDevice("VNT2300", "MEDIA\\0011", 0x33);
       },
       {},
       {Dev("VNT2300_DEV0"), Dev("VNT2300_DEV1"), Dev("VNT2300"),
        Cls("MEDIA\\0007"), Cls("MEDIA\\0008"), Cls("MEDIA\\0011")},
       {"2f", "30", "33"}},
      {"any id of the list may match",
       {"PNPX", "VNT2301", "VNT2300_DEV"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0007", 0x2F);
         AddDevice("VNT2301", "MEDIA\\0008", 0x30);
         AddDevice("VNT2302", "MEDIA\\0009", 0x31);
       },
       {},
       {Dev("VNT2300_DEV0"), Dev("VNT2301"), Cls("MEDIA\\0007"),
        Cls("MEDIA\\0008")},
       {"2f", "30"}},
      {"an id cut to 24 characters matches on those",
       {"VNT2300_ABCDEFGHIJKLMNOPQRSTUVW"},
       [] {
         AddDevice("VNT2300_ABCDEFGHIJKLMNOPXYZ", "MEDIA\\0007", 0x2F);
         AddDevice("VNT2300_ABCDEFGHIJKLMNOP", "MEDIA\\0008", 0x30);
       },
       {},
       {Dev("VNT2300_ABCDEFGHIJKLMNOPXYZ"), Dev("VNT2300_ABCDEFGHIJKLMNOP"),
        Cls("MEDIA\\0007"), Cls("MEDIA\\0008")},
       {"2f", "30"}},
      {"an empty id list removes nothing",
       {},
       [] { AddDevice("VNT2300_DEV0", "MEDIA\\0007", 0x2F); },
       {},
       {},
       {}},
      {"a device key that does not open is passed over",
       {"VNT"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0007", 0x2F);
         AddDevice("VNT2300_DEV1", "MEDIA\\0008", 0x30);
       },
       [](const fake::Call& c) {
         return std::string(c.function) == "OpenRegKey" &&
                c.arg == "VNT2300_DEV0";
       },
       {Dev("VNT2300_DEV1"), Cls("MEDIA\\0008")},
       {"30"}},
      {"a device key that is not deleted is passed over",
       {"VNT"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0007", 0x2F);
         AddDevice("VNT2300_DEV1", "MEDIA\\0008", 0x30);
       },
       [](const fake::Call& c) {
         return std::string(c.function) == "DeleteRegTree" &&
                c.arg == "VNT2300_DEV0";
       },
       {Cls("MEDIA\\0007"), Dev("VNT2300_DEV1"), Cls("MEDIA\\0008")},
       {"2f", "30"}},
      {"no deletion succeeds: the walk still ends",
       {"VNT"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0007", 0x2F);
         AddDevice("VNT2300_DEV1", "MEDIA\\0008", 0x30);
       },
       [](const fake::Call& c) {
         return std::string(c.function) == "DeleteRegTree";
       },
       {},
       {"2f", "30"}},
      {"a device without instances goes without a release",
       {"VNT"},
       [] { fake::AddRegKey(Dev("VNT2300_DEV0")); },
       {},
       {Dev("VNT2300_DEV0")},
       {}},
      {"an instance without Driver is passed over whole",
       {"VNT"},
       [] {
         fake::AddRegKey(Dev("VNT2300_DEV0\\0000"));
         AddClassDriver("MEDIA\\0007", 0x2F);
       },
       {},
       {Dev("VNT2300_DEV0")},
       {}},
      {"an instance key that does not open is passed over",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000", "MEDIA\\0007");
         AddInstance("VNT2300_DEV0", "0001", "MEDIA\\0008");
         AddClassDriver("MEDIA\\0007", 0x2F);
         AddClassDriver("MEDIA\\0008", 0x30);
       },
       [](const fake::Call& c) {
         return std::string(c.function) == "OpenRegKey" && c.arg == "0000";
       },
       {Dev("VNT2300_DEV0"), Cls("MEDIA\\0008")},
       {"30"}},
      {"a class driver key without Drivers is deleted unreleased",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000", "MEDIA\\0007");
         fake::SetRegString(Cls("MEDIA\\0007"), "DriverDesc", "Card");
         fake::SetRegDword(Cls("MEDIA\\0007\\Other"), "DevNode", 0x2F);
       },
       {},
       {Dev("VNT2300_DEV0"), Cls("MEDIA\\0007")},
       {}},
      {"a Drivers key without DevNode: deleted unreleased",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000", "MEDIA\\0007");
         fake::AddRegKey(Cls("MEDIA\\0007\\Drivers"));
       },
       {},
       {Dev("VNT2300_DEV0"), Cls("MEDIA\\0007")},
       {}},
      {"a DevNode of 5 bytes: deleted unreleased",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000", "MEDIA\\0007");
         fake::SetRegValue(Cls("MEDIA\\0007\\Drivers"), "DevNode",
                           std::string("\x2F\0\0\0\0", 5));
       },
       {},
       {Dev("VNT2300_DEV0"), Cls("MEDIA\\0007")},
       {}},
      {"a one-byte DevNode after a full one keeps no old bytes",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000", "MEDIA\\0007");
         AddInstance("VNT2300_DEV0", "0001", "MEDIA\\0008");
         AddClassDriver("MEDIA\\0007", 0x12345678);
         fake::SetRegValue(Cls("MEDIA\\0008\\Drivers"), "DevNode", "\x2F");
       },
       {},
       {Dev("VNT2300_DEV0"), Cls("MEDIA\\0007"), Cls("MEDIA\\0008")},
       {"12345678", "2f"}},
      {"two instances naming one class driver key release it once",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000", "MEDIA\\0007");
         AddInstance("VNT2300_DEV0", "0001", "MEDIA\\0007");
         AddClassDriver("MEDIA\\0007", 0x2F);
       },
       {},
       {Dev("VNT2300_DEV0"), Cls("MEDIA\\0007")},
       {"2f"}},
      {"a class driver key a device outside the card names stays",
       {"VNT"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0041", 0x2F);
         fake::SetRegString("HKLM\\ENUM\\Root\\MEDIA\\0000", "Driver",
                            "media\\0041");
       },
       {},
       {Dev("VNT2300_DEV0")},
       {"2f"}},
      {"... also a device of the card's bus that no id matches",
       {"VNT"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0041", 0x2F);
         AddInstance("PNPB005", "0000", "MEDIA\\0041");
       },
       {},
       {Dev("VNT2300_DEV0")},
       {"2f"}},
      {"... and a device of another bus whose name begins with an id",
       {"VNT"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0041", 0x2F);
         fake::SetRegString("HKLM\\ENUM\\Root\\VNT2300_DEV0\\0000", "Driver",
                            "MEDIA\\0041");
       },
       {},
       {Dev("VNT2300_DEV0")},
       {"2f"}},
      {"two devices of the card naming one class driver key release it once",
       {"VNT"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0041", 0x2F);
         AddInstance("VNT2300_DEV1", "0000", "MEDIA\\0041");
       },
       {},
       {Dev("VNT2300_DEV0"), Dev("VNT2300_DEV1"), Cls("MEDIA\\0041")},
       {"2f"}},
      {"the Enum key does not open for the look: the class driver key stays",
       {"VNT"},
       [] { AddDevice("VNT2300_DEV0", "MEDIA\\0041", 0x2F); },
       [](const fake::Call& c) {
         return std::string(c.function) == "OpenRegKey" && c.arg == "ENUM";
       },
       {Dev("VNT2300_DEV0")},
       {"2f"}},
      {"Driver values of different lengths, the shorter first",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000", "MEDIA\\7");
         AddInstance("VNT2300_DEV0", "0001", "MEDIA\\0008");
         AddClassDriver("MEDIA\\7", 7);
         AddClassDriver("MEDIA\\0008", 8);
       },
       {},
       {Dev("VNT2300_DEV0"), Cls("MEDIA\\7"), Cls("MEDIA\\0008")},
       {"7", "8"}},
      {"a Driver of 255 characters",
       {"VNT"},
       [driver255] { AddDevice("VNT2300_DEV0", driver255, 0x40); },
       {},
       {Dev("VNT2300_DEV0"), Cls(driver255)},
       {"40"}},
      {"a Driver of 256 characters without terminator",
       {"VNT"},
       [driver256] {
         fake::SetRegValue(Dev("VNT2300_DEV0\\0000"), "Driver", driver256, 1);
         AddClassDriver(driver256, 0x41);
       },
       {},
       {Dev("VNT2300_DEV0"), Cls(driver256)},
       {"41"}},
      {"a Driver without terminator",
       {"VNT"},
       [] {
         fake::SetRegValue(Dev("VNT2300_DEV0\\0000"), "Driver", "MEDIA\\0007",
                           1);
         AddClassDriver("MEDIA\\0007", 0x2F);
         AddClassDriver("MEDIA\\0007X", 0x30);
       },
       {},
       {Dev("VNT2300_DEV0"), Cls("MEDIA\\0007")},
       {"2f"}},
      {"a Driver longer than 256 bytes is passed over",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000",
                     "MEDIA\\0007\\" + std::string(300, 'M'));
         AddClassDriver("MEDIA\\0007", 0x2F);
       },
       {},
       {Dev("VNT2300_DEV0")},
       {}},
      {"an empty Driver leaves the Class key alone",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000", "");
         AddClassDriver("MEDIA\\0007", 0x2F);
       },
       {},
       {Dev("VNT2300_DEV0")},
       {}},
      {"a Driver beginning with a backslash leaves the Class key alone",
       {"VNT"},
       [] {
         AddInstance("VNT2300_DEV0", "0000", "\\");
         AddInstance("VNT2300_DEV0", "0001", "\\MEDIA\\0007");
         AddClassDriver("MEDIA\\0007", 0x2F);
       },
       {},
       {Dev("VNT2300_DEV0")},
       {}},
      {"device node numbers 0 and ffffffff",
       {"VNT"},
       [] {
         AddDevice("VNT2300_DEV0", "MEDIA\\0007", 0);
         AddDevice("VNT2300_DEV1", "MEDIA\\0008", 0xFFFFFFFF);
       },
       {},
       {Dev("VNT2300_DEV0"), Dev("VNT2300_DEV1"), Cls("MEDIA\\0007"),
        Cls("MEDIA\\0008")},
       {"0", "ffffffff"}},
  };
  for (const Row& row : rows) {
    NewMachine(row.ids);
    AddDevice("PNPB003", "MEDIA\\0001", 0x10);  // another card's device
    row.setup();
    AddDevice("PNPB004", "MEDIA\\0002", 0x11);
    std::vector<std::string> before = fake::RegDump();
    if (row.fail) fake::FailWhen(row.fail);

    EXPECT_EQ(1, RemovePnpDevices(kControl)) << row.name;

    std::vector<std::string> expected = DumpWithout(before, row.gone);
    std::vector<std::string> after = fake::RegDump();
    EXPECT_EQ(expected, after) << row.name << "\nexpected:\n"
                               << Join(expected) << "got:\n" << Join(after);
    std::vector<std::string> runs;
    for (const std::string& arg : row.runs) runs.push_back("DEVEJECT " + arg);
    EXPECT_EQ(runs, Runs()) << row.name;
    EXPECT_EQ(runs, BroadcastArgs()) << row.name;
    EXPECT_EQ(2 * runs.size(), fake::Broadcasts().size()) << row.name;
    for (const fake::Started& s : fake::StartedPrograms()) {
      EXPECT_TRUE(s.waited) << row.name;
      EXPECT_EQ("C:\\DEVEJECT.EXE", s.program) << row.name;
    }
    for (const fake::Call& c : fake::CallLog()) {
      if (std::string(c.function) != "DeleteRegTree") continue;
      EXPECT_FALSE(c.arg.empty() || c.arg[0] == '\\')
          << row.name << ": deleted \"" << c.arg << "\"";
    }
    EXPECT_EQ(0, fake::OpenRegHandles()) << row.name;
    EXPECT_LT(fake::CallCount(), kCallLimit) << row.name << ": no end";
  }
}

// A "Driver" value is used only in the form class "\" instance, both parts
// non-empty key names; otherwise the Class key is left whole (the device
// key still goes, as without a "Driver").
TEST(RemovePnpDevices, DriverValuesNameOneClassDriverKeyOrNothing) {
  struct Row {
    const char* driver;
    bool released;
  } rows[] = {
      {"MEDIA", false},        {"MEDIA\\", false},     {"\\0001", false},
      {"MEDIA\\\\0007", false}, {"MEDIA\\0007\\", false},
      {"MEDIA\\0007\\Drivers", false}, {"\\", false},
      {"MEDIA\\0007", true},   {"M\\7", true},
  };
  for (const Row& row : rows) {
    NewMachine({"VNT"});
    AddDevice("PNPB003", "MEDIA\\0001", 0x10);  // another card's device
    AddClassDriver("0001", 0x11);               // keys a wrong path may hit
    AddClassDriver("MEDIA\\0007", 0x2F);
    AddClassDriver("M\\7", 0x2F);
    AddInstance("VNT2300_DEV0", "0000", row.driver);
    std::vector<std::string> before = fake::RegDump();

    EXPECT_EQ(1, RemovePnpDevices(kControl)) << row.driver;

    std::vector<std::string> gone = {Dev("VNT2300_DEV0")};
    if (row.released) gone.push_back(Cls(row.driver));
    std::vector<std::string> expected = DumpWithout(before, gone);
    std::vector<std::string> after = fake::RegDump();
    EXPECT_EQ(expected, after) << row.driver << "\nexpected:\n"
                               << Join(expected) << "got:\n" << Join(after);
    EXPECT_EQ(row.released ? std::vector<std::string>{"DEVEJECT 2f"}
                           : std::vector<std::string>{},
              Runs())
        << row.driver;
    // Not even tried: how a registry reads such a path is its own affair.
    int deletions = 0;
    for (const fake::Call& c : fake::CallLog()) {
      deletions += std::string(c.function) == "DeleteRegTree";
    }
    EXPECT_EQ(row.released ? 2 : 1, deletions) << row.driver;
    EXPECT_EQ(0, fake::OpenRegHandles()) << row.driver;
  }
}

// A "Driver" value that does not fit the 256-byte driver path, however
// little it is over, is passed over whole: no class driver key is named by
// a cut form of it (its first 255 or 256 characters).
TEST(RemovePnpDevices, DriverValuesJustOverTheBufferArePassedOver) {
  for (size_t bytes : {257u, 258u, 264u, 265u}) {
    for (bool terminated : {true, false}) {
      std::string driver = "MEDIA\\" + std::string(bytes - 6, 'K');
      if (terminated) driver.pop_back();  // its terminator makes up the bytes
      std::string row = std::to_string(bytes) + " bytes" +
                        (terminated ? ", terminated" : "");
      NewMachine({"VNT"});
      fake::SetRegValue(Dev("VNT2300_DEV0\\0000"), "Driver",
                        terminated ? driver + '\0' : driver, 1);
      AddClassDriver(driver.substr(0, 255), 0x2F);
      AddClassDriver(driver.substr(0, 256), 0x30);
      std::vector<std::string> before = fake::RegDump();

      EXPECT_EQ(1, RemovePnpDevices(kControl)) << row;

      EXPECT_EQ(DumpWithout(before, {Dev("VNT2300_DEV0")}), fake::RegDump())
          << row;
      EXPECT_TRUE(Runs().empty()) << row;
    }
  }
}

TEST(RemovePnpDevices, MissingRegistryKeysRemoveNothing) {
  struct Row {
    const char* name;
    bool isaPnp;
    bool classKey;
    const char* failOpen;  // an OpenRegKey path that fails, or null
    bool classOpened;
  } rows[] = {
      {"no ISAPNP key", false, true, nullptr, false},
      {"ISAPNP key does not open", true, true, "ENUM\\ISAPNP", false},
      {"no Class key", true, false, nullptr, true},
      {"Class key does not open", true, true,
       "System\\CurrentControlSet\\Services\\Class", true},
  };
  for (const Row& row : rows) {
    NewMachine({"VNT"}, row.isaPnp, row.classKey);
    if (row.isaPnp) AddInstance("VNT2300_DEV0", "0000", "MEDIA\\0007");
    if (row.classKey) AddClassDriver("MEDIA\\0007", 0x2F);
    if (row.failOpen) fake::FailCalls("OpenRegKey", row.failOpen);
    std::vector<std::string> before = fake::RegDump();

    EXPECT_EQ(0, RemovePnpDevices(kControl)) << row.name;

    EXPECT_EQ(before, fake::RegDump()) << row.name;
    EXPECT_TRUE(Runs().empty()) << row.name;
    EXPECT_TRUE(fake::Broadcasts().empty()) << row.name;
    EXPECT_EQ(0, fake::OpenRegHandles()) << row.name;
    bool classOpened = false;
    for (const fake::Call& c : fake::CallLog()) {
      classOpened = classOpened || (std::string(c.function) == "OpenRegKey" &&
                                    c.arg.find("Class") != std::string::npos);
    }
    EXPECT_EQ(row.classOpened, classOpened) << row.name;
  }
}
