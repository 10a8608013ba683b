// The [regdel] list on the card's machine: which keys and values go, which
// stay, and what the list counts as not done.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "pnp/registry_list.h"
#include "tests/unit/pnp/pnp_fixture.h"
#include "tests/unit/support/test_support.h"

namespace {

const std::string kSoftware = "HKLM\\SOFTWARE\\VANTORIS";
const std::string kVersion =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::string kEntry = kVersion + "\\Uninstall\\VANTORIS";
const std::string kOtherEntry = kVersion + "\\Uninstall\\OtherApp";
const std::string kRun = kVersion + "\\Run";
const std::string kUser = "HKCU\\Software\\VANTORIS";
// A key whose entry is 255 characters long, one of 256, and the key that
// the 256 cut to 255 would name.
const std::string kLongest = "HKCU\\Software\\" + std::string(241, 'L');
const std::string kTooLong = "HKCU\\Software\\" + std::string(242, 'M');
const std::string kTooLongCut = kTooLong.substr(0, 255);

// What the card's installer wrote, beside what others did.
void CardKeys() {
  fake::SetRegString(kSoftware + "\\AudioMax\\Mixer", "Path", "C:\\VANTORIS");
  fake::SetRegString(kEntry, "DisplayName", "VANTORIS AudioMax");
  fake::SetRegString(kOtherEntry, "DisplayName", "Other");
  fake::SetRegString(kRun, "VNTMIX", "C:\\VANTORIS\\VNTMIX.EXE");
  fake::SetRegString(kRun, "SystemTray", "SysTray.Exe");
  fake::SetRegDword(kUser + "\\Mixer", "Volume", 7);
  fake::AddRegKey(kLongest);
  fake::AddRegKey(kTooLong);
  fake::AddRegKey(kTooLongCut);
  fake::AddRegKey("HKCU\\Software\\Microsoft");
}

std::vector<std::string> Registry() {
  std::vector<std::string> lines = fake::RegDump("HKLM");
  for (const std::string& line : fake::RegDump("HKCU")) lines.push_back(line);
  return lines;
}

// What was noted for the closing box: "<kind>: <entry>" for each step
// described, "+n" for the rest.
std::vector<std::string> Noted(const NotDone& notDone) {
  static const char* const kKinds[] = {"Not changed", "Not copied", "Kept",
                                       "Not deleted"};
  std::vector<std::string> lines;
  for (int i = 0; i < notDone.count && i < kNotDoneShown; ++i) {
    lines.push_back(std::string(kKinds[static_cast<int>(notDone.kinds[i])]) +
                    ": " + notDone.paths[i]);
  }
  if (notDone.count > kNotDoneShown) {
    lines.push_back("+" + std::to_string(notDone.count - kNotDoneShown));
  }
  return lines;
}

TEST(RunRegistryList, RemovesTheListedKeysAndValuesOnly) {
  struct Row {
    const char* label;
    std::vector<std::string> entries;  // [regdel] 1, 2, ... ("" for a gap)
    std::vector<std::string> gone;     // keys, or "key : value"
    const char* failing = "";          // a platform call that fails
    std::vector<std::string> noted = {};  // what the closing box names
  };
  const Row rows[] = {
      {"the card's keys and Run value go, every sibling stays",
       {kSoftware, kEntry, kRun + ",VNTMIX", kUser},
       {kSoftware, kEntry, kRun + " : VNTMIX", kUser}},
      {"keys and values that are not there are passed over",
       {kSoftware + "\\Missing", kRun + ",Missing", kSoftware + "\\NoKey,X",
        "HKCU\\Software\\Missing", kUser},
       {kUser}},
      {"protected and malformed entries are kept",
       {"HKLM\\SOFTWARE", kRun, "HKCU\\Software\\Microsoft", "HKCU",
        "HKCR\\VANTORIS", kSoftware + "\\*", kUser},
       {kUser},
       "",
       {"Kept: HKLM\\SOFTWARE", "Kept: " + kRun,
        "Kept: HKCU\\Software\\Microsoft", "+3"}},
      {"255 characters at most; a longer entry is passed over",
       {kTooLong, kLongest, kUser},
       {kLongest, kUser}},
      {"the list ends at its first gap", {kUser, "", kSoftware}, {kUser}},
      {"a key that stays is not deleted",
       {kSoftware, kUser},
       {},
       "DeleteRegTree",
       {"Not deleted: " + kSoftware, "Not deleted: " + kUser}},
      {"a value that stays is not deleted",
       {kRun + ",VNTMIX", kUser},
       {kUser},
       "DeleteRegValue",
       {"Not deleted: " + kRun + ",VNTMIX"}},
  };
  for (const Row& row : rows) {
    NewMachine({});
    CardKeys();
    std::string ini = "[regdel]\n";
    for (size_t i = 0; i < row.entries.size(); ++i) {
      ini += std::to_string(i + 1) + "=" + row.entries[i] + "\n";
    }
    WriteControlFile(kControl, ini);
    if (row.failing[0] != '\0') fake::FailCalls(row.failing);
    const std::vector<std::string> before = Registry();

    NotDone notDone;
    StartNotDone(&notDone);
    RunRegistryList(kControl, &notDone);
    EXPECT_EQ(Noted(notDone), row.noted) << row.label;
    EXPECT_EQ(Registry(), DumpWithout(before, row.gone)) << row.label;
    EXPECT_EQ(fake::OpenRegHandles(), 0) << row.label;
  }
}

}  // namespace
