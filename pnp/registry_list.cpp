#include "pnp/registry_list.h"

#include "control/control_file.h"
#include "platform/platform.h"
#include "pnp/registry_target.h"

namespace {

// False when the key or value was there and stays.
bool Removed(const RegistryTarget& target) {
  const char* path = PathBelowRoot(target);
  const bool isValue = target.value[0] != '\0';
  plat::RegKey key;
  if (plat::OpenRegKey(target.root, path, &key) != plat::kRegOk) {
    return true;  // not there (Windows 95 keeps no key from anyone)
  }
  uint32_t size = 0;
  const bool valueGone =
      isValue &&
      (plat::DeleteRegValue(key, target.value) == plat::kRegOk ||
       plat::QueryRegValue(key, target.value, nullptr, &size) != plat::kRegOk);
  plat::CloseRegKey(key);
  if (isValue) return valueGone;
  return plat::DeleteRegTree(target.root, path) == plat::kRegOk;
}

}  // namespace

void RunRegistryList(const char* controlPath, NotDone* notDone) {
  ListPathCursor cursor = StartRegistryList(controlPath);
  char entry[kPathSize];
  RegistryTarget target;
  while (NextListPath(&cursor, entry)) {
    if (ReadRegistryTarget(entry, &target) != RegistryVerdict::Act) {
      NoteNotDone(notDone, NotDoneKind::Kept, entry);
    } else if (!Removed(target)) {
      NoteNotDone(notDone, NotDoneKind::NotDeleted, entry);
    }
  }
}
