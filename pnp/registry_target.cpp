#include "pnp/registry_target.h"

#include <cstring>

#include "pnp/protected_keys.h"

namespace {

// Each root's short name, then its long one: index & 2 is the short one.
const char* const kRootNames[] = {"HKLM", "HKEY_LOCAL_MACHINE", "HKCU",
                                  "HKEY_CURRENT_USER"};

}  // namespace

RegistryVerdict ReadRegistryTarget(const char* entry, RegistryTarget* target) {
  target->root = 0;
  target->key[0] = '\0';
  target->value[0] = '\0';
  const char* end = nullptr;  // the last comma
  size_t length = 0;
  for (; entry[length] != '\0'; ++length) {
    if (entry[length] == '*' || entry[length] == '?') {
      return RegistryVerdict::Malformed;
    }
    if (entry[length] == ',') end = entry + length;
  }
  // The list never gives a longer one; nothing longer fits key or value.
  if (length >= static_cast<size_t>(kPathSize)) {
    return RegistryVerdict::Malformed;
  }
  if (end != nullptr) {
    // An empty name would be the key's default value: far likelier a
    // stray comma than a value meant to go.
    if (end[1] == '\0') return RegistryVerdict::Malformed;
    strcpy(target->value, end + 1);
  } else {
    end = entry + length;
  }

  // No doubled backslash, and none at the end; one at the start stays and
  // leaves the entry without a root.
  char* key = target->key;
  int used = 0;
  for (; entry < end; ++entry) {
    if (*entry != '\\' || used == 0 || key[used - 1] != '\\') {
      key[used++] = *entry;
    }
  }
  if (used > 0 && key[used - 1] == '\\') --used;
  key[used] = '\0';

  for (int i = 0; i < 4; ++i) {
    if (KeyStanding(key, kRootNames[i], false) == 0) continue;
    target->root = i < 2 ? plat::kHkeyLocalMachine : plat::kHkeyCurrentUser;
    // The short name in place of the one written.
    const size_t written = strlen(kRootNames[i]);
    memmove(key + kRootNameLength, key + written, used - written + 1);
    memcpy(key, kRootNames[i & 2], kRootNameLength);
    return IsProtectedRegistryKey(key, target->value[0] != '\0')
               ? RegistryVerdict::Protected
               : RegistryVerdict::Act;
  }
  return RegistryVerdict::Malformed;
}
