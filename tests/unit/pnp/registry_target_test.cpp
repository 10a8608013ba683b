// How a [regdel] entry is read: its root, key and value, what is malformed,
// and the guard: every protected form beside the neighbours that may go.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pnp/registry_target.h"

namespace {

constexpr plat::RegKey kLm = plat::kHkeyLocalMachine;
constexpr plat::RegKey kCu = plat::kHkeyCurrentUser;
constexpr RegistryVerdict kAct = RegistryVerdict::Act;
constexpr RegistryVerdict kKept = RegistryVerdict::Protected;
constexpr RegistryVerdict kBad = RegistryVerdict::Malformed;

const std::string kVersion =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::string kUninstall = kVersion + "\\Uninstall";
const std::string kRun = kVersion + "\\Run";
const std::string kCuVersion =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion";

TEST(ReadRegistryTarget, ReadsRootKeyAndValueAndKeepsTheSystemsKeys) {
  struct Row {
    std::string entry;
    RegistryVerdict verdict;
    plat::RegKey root = 0;  // these three for kAct only
    const char* key = "";  // null: the entry itself
    const char* value = "";
  };
  const Row rows[] = {
      // The roots themselves, however written.
      {"HKLM", kKept},
      {"HKLM\\", kKept},
      {"hkey_local_machine\\\\", kKept},
      {"HKCU", kKept},
      {"HKLM,Value", kKept},
      {"HKEY_LOCAL_MACHINE,Value", kKept},
      // SOFTWARE, the key itself only.
      {"HKLM\\SOFTWARE", kKept},
      {"HKLM\\software\\", kKept},
      {"HKLM\\\\SOFTWARE\\\\", kKept},
      {"HKEY_LOCAL_MACHINE\\Software", kKept},
      {"HKLM\\SOFTWARE,Value", kKept},
      {"HKLM\\SOFTWARE\\VANTORIS", kAct, kLm, "HKLM\\SOFTWARE\\VANTORIS"},
      {"HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\VANTORIS\\AudioMax\\\\", kAct, kLm,
       "HKLM\\SOFTWARE\\VANTORIS\\AudioMax"},
      {"HKLM\\SOFTWARE2", kAct, kLm, "HKLM\\SOFTWARE2"},
      // SOFTWARE\Microsoft and everything below it ...
      {"HKLM\\SOFTWARE\\Microsoft", kKept},
      {"HKLM\\SOFTWARE\\\\MICROSOFT\\", kKept},
      {kVersion, kKept},
      {kVersion + ",ProgramFilesDir", kKept},
      {kVersion + "\\Explorer\\Shell Folders,Programs", kKept},
      {"HKLM\\SOFTWARE\\MicrosoftVNT", kAct, kLm, nullptr},
      // ... but a program's Uninstall entry ...
      {kUninstall, kKept},
      {kUninstall + "\\", kKept},
      {kUninstall + ",Value", kKept},
      {kVersion + "\\UninstallVNT", kKept},
      {kUninstall + "\\VANTORIS", kAct, kLm, nullptr},
      {"HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\\\"
       "VANTORIS\\",
       kAct, kLm,
       "HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\"
       "VANTORIS"},
      {kUninstall + "\\VANTORIS\\Sub,DisplayName", kAct, kLm,
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
       "VANTORIS\\Sub",
       "DisplayName"},
      // ... and single values of Run may go.
      {kRun + ",VNTMIX", kAct, kLm,
       "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "VNTMIX"},
      {kVersion + "\\\\RUN\\,VNT Mixer", kAct, kLm,
       "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RUN", "VNT Mixer"},
      {kRun, kKept},
      {kRun + "\\", kKept},
      {kRun + "\\VNT", kKept},
      {kRun + "\\VNT,VNTMIX", kKept},
      {kVersion + "\\RunOnce,VNTMIX", kKept},
      // SOFTWARE\Classes and Config themselves; System and Enum whole.
      {"HKLM\\SOFTWARE\\Classes", kKept},
      {"HKLM\\SOFTWARE\\Classes,Value", kKept},
      {"HKLM\\SOFTWARE\\Classes\\VNTMixer.Settings", kAct, kLm,
       "HKLM\\SOFTWARE\\Classes\\VNTMixer.Settings"},
      {"HKLM\\Config", kKept},
      {"HKLM\\Config\\0001", kAct, kLm, "HKLM\\Config\\0001"},
      {"HKLM\\System", kKept},
      {"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Class\\MEDIA\\0003", kKept},
      {"HKLM\\System\\CurrentControlSet,Value", kKept},
      {"HKLM\\Enum", kKept},
      {"HKLM\\Enum\\ISAPNP\\VNT2300", kKept},
      {"HKLM\\SystemVNT", kAct, kLm, "HKLM\\SystemVNT"},
      {"HKLM\\Enumerator", kAct, kLm, "HKLM\\Enumerator"},
      // HKCU: Software itself, Software\Microsoft whole, no exceptions.
      {"HKCU\\Software", kKept},
      {"HKEY_CURRENT_USER\\software\\\\", kKept},
      {"HKCU\\Software,Value", kKept},
      {"HKCU\\Software\\Microsoft", kKept},
      {kCuVersion + "\\Explorer\\Shell Folders", kKept},
      {kCuVersion + "\\Run,VNTMIX", kKept},
      {kCuVersion + "\\Uninstall\\VANTORIS", kKept},
      {"HKCU\\Software\\VANTORIS", kAct, kCu, nullptr},
      {"hkey_current_user\\Software\\VANTORIS", kAct, kCu,
       "HKCU\\Software\\VANTORIS"},
      {"hkcu\\Software\\VANTORIS", kAct, kCu, "HKCU\\Software\\VANTORIS"},
      {"HKCU\\Software\\VANTORIS\\Mixer,Volume", kAct, kCu,
       "HKCU\\Software\\VANTORIS\\Mixer", "Volume"},
      {"HKCU\\System", kAct, kCu, "HKCU\\System"},
      // The value after the last comma.
      {"HKLM\\SOFTWARE\\VNT,1,2", kAct, kLm, "HKLM\\SOFTWARE\\VNT,1", "2"},
      {"HKLM\\SOFTWARE\\VNT, Mixer", kAct, kLm, "HKLM\\SOFTWARE\\VNT",
       " Mixer"},
      // No other root, no wildcard, no empty value name.
      {"", kBad},
      {"HKCR\\.vnt", kBad},
      {"HKEY_CLASSES_ROOT\\.vnt", kBad},
      {"HKU\\.DEFAULT\\Software\\VANTORIS", kBad},
      {"SOFTWARE\\VANTORIS", kBad},
      {"\\HKLM\\SOFTWARE\\VANTORIS", kBad},
      {"HKLM \\SOFTWARE\\VANTORIS", kBad},
      {"HKL\\SOFTWARE\\VANTORIS", kBad},
      {"HKLMX\\SOFTWARE\\VANTORIS", kBad},
      {",HKLM\\SOFTWARE\\VANTORIS", kBad},
      {"HKLM\\SOFTWARE\\VNT*", kBad},
      {"HKLM\\SOFTWARE\\VNT?", kBad},
      {kRun + ",VNT*", kBad},
      {"HKLM\\SOFTWARE\\VANTORIS,", kBad},
      // 255 characters at most; the list never gives more.
      {"HKCU\\Software\\" + std::string(241, 'K'), kAct, kCu, nullptr},
      {"HKCU\\Software\\" + std::string(242, 'K'), kBad},
  };
  for (const Row& row : rows) {
    RegistryTarget target;
    memset(&target, 'J', sizeof target);
    const RegistryVerdict verdict = ReadRegistryTarget(row.entry.c_str(),
                                                       &target);
    EXPECT_EQ(verdict, row.verdict) << row.entry;
    if (verdict != kAct || row.verdict != kAct) continue;
    EXPECT_EQ(target.root, row.root) << row.entry;
    EXPECT_EQ(target.key, row.key != nullptr ? row.key : row.entry)
        << row.entry;
    EXPECT_STREQ(target.value, row.value) << row.entry;
  }
}

}  // namespace
