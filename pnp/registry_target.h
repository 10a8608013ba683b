// What an entry of [regdel] acts on: a key with everything below it, or one
// value of a key, or why it is passed over. The list and the control-file
// checker both ask here, so that what the checker reports is what the
// program does.
//
// An entry is a root, a backslash and the key's path below it
// ("HKLM\SOFTWARE\VANTORIS"), and for a single value a comma and the
// value's name ("HKLM\...\Run,VNTMIX"). The name is the text after the last
// comma, so a key whose name holds a comma can only be named with a value.
#pragma once

#include "control/path_helpers.h"
#include "platform/platform.h"

enum class RegistryVerdict {
  Act,        // the target is stored
  Malformed,  // no root of its own, a wildcard, or an empty value name
  Protected,  // a root, or a key on the way to the system's own keys
};

// "HKLM" and "HKCU": the root's name at the start of a target's key.
constexpr int kRootNameLength = 4;

struct RegistryTarget {
  plat::RegKey root;  // kHkeyLocalMachine or kHkeyCurrentUser
  // The root's short name ("HKLM", "HKCU") and, for a key below it, a
  // backslash and its path: names joined by one backslash, none at the end.
  char key[kPathSize];
  // The one value's name; "" when the whole key goes.
  char value[kPathSize];
};

// Reads entry, a [regdel] value of at most 255 characters, into *target.
// Roots: "HKLM" or "HKEY_LOCAL_MACHINE", "HKCU" or "HKEY_CURRENT_USER", in
// any letter case; no other. "*" and "?" are no wildcards here and make the
// entry Malformed, as does a comma with nothing after it. Doubled and
// trailing backslashes of the key's path are dropped before the guard
// (protected_keys.h) looks at it and before anything is removed.
RegistryVerdict ReadRegistryTarget(const char* entry, RegistryTarget* target);

// The key's path below its root, as the registry calls take it, of a
// target that names more than its root (every one that is acted on).
inline const char* PathBelowRoot(const RegistryTarget& target) {
  return target.key + kRootNameLength + 1;
}
