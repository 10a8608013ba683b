#include "pnp/protected_keys.h"

#include "platform/platform.h"

namespace {

constexpr int kKeyAndValues = kTheKey | kValueOfKey;
constexpr int kEverything = kKeyAndValues | kBelow;

struct GuardRow {
  const char* key;
  unsigned char reach;  // the standings of a target that the row decides
  bool keep;
};

// Exceptions first: the first row that reaches the target decides.
const GuardRow kGuard[] = {
    {"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", kBelow,
     false},
    {"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", kValueOfKey,
     false},
    {"HKLM", kKeyAndValues, true},
    {"HKLM\\SOFTWARE", kKeyAndValues, true},
    {"HKLM\\SOFTWARE\\Microsoft", kEverything, true},
    {"HKLM\\SOFTWARE\\Classes", kKeyAndValues, true},
    {"HKLM\\System", kEverything, true},
    {"HKLM\\Enum", kEverything, true},
    {"HKLM\\Config", kKeyAndValues, true},
    {"HKCU", kKeyAndValues, true},
    {"HKCU\\Software", kKeyAndValues, true},
    {"HKCU\\Software\\Microsoft", kEverything, true},
};

}  // namespace

int KeyStanding(const char* key, const char* name, bool isValue) {
  int i = 0;
  for (; name[i] != '\0'; ++i) {
    if (plat::UpperAscii(key[i]) != plat::UpperAscii(name[i])) return 0;
  }
  if (key[i] == '\0') return isValue ? kValueOfKey : kTheKey;
  return key[i] == '\\' ? kBelow : 0;
}

bool IsProtectedRegistryKey(const char* key, bool isValue) {
  for (const GuardRow& row : kGuard) {
    if (row.reach & KeyStanding(key, row.key, isValue)) return row.keep;
  }
  return false;
}
