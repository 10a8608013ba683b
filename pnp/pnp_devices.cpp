#include "pnp/pnp_devices.h"

#include <cstring>

#include "control/path_helpers.h"
#include "platform/platform.h"
#include "pnp/device_release.h"
#include "pnp/pnp_id_list.h"

namespace {

const char kIsaPnpPath[] = "ENUM\\ISAPNP";
const char kClassPath[] = "System\\CurrentControlSet\\Services\\Class";

// Releases the instances of the device key called name, then deletes it.
void RemoveDeviceKey(plat::RegKey isaPnpKey, plat::RegKey classKey,
                     const char* ids, const char* name) {
  plat::RegKey deviceKey;
  if (plat::OpenRegKey(isaPnpKey, name, &deviceKey) != plat::kRegOk) return;
  ReleaseDeviceInstances(deviceKey, classKey, ids);
  plat::CloseRegKey(deviceKey);
  plat::DeleteRegTree(isaPnpKey, name);
}

// True when the subkey at index is still called name.
bool StillAt(plat::RegKey key, uint32_t index, const char* name) {
  char now[kPathSize];
  return plat::EnumRegSubkey(key, index, now, sizeof now) == plat::kRegOk &&
         strcmp(now, name) == 0;
}

// Walks the ISAPNP key. After a deletion the following subkeys move down one
// index, so the index stays where it is. A matching key that did not open or
// did not go would come back at the same index for ever: it is passed over.
void RemoveMatchingKeys(plat::RegKey isaPnpKey, plat::RegKey classKey,
                        const char* ids) {
  char name[kPathSize];
  uint32_t index = 0;
  while (plat::EnumRegSubkey(isaPnpKey, index, name, sizeof name) ==
         plat::kRegOk) {
    if (MatchesPnpId(ids, name)) {
      RemoveDeviceKey(isaPnpKey, classKey, ids, name);
      if (!StillAt(isaPnpKey, index, name)) continue;
    }
    ++index;
  }
}

}  // namespace

bool RemovePnpDevices(const char* controlPath) {
  char ids[kPnpIdListSize];
  ReadPnpIdList(controlPath, ids);

  plat::RegKey isaPnpKey;
  if (plat::OpenRegKey(plat::kHkeyLocalMachine, kIsaPnpPath, &isaPnpKey) !=
      plat::kRegOk) {
    return false;
  }
  plat::RegKey classKey;
  if (plat::OpenRegKey(plat::kHkeyLocalMachine, kClassPath, &classKey) !=
      plat::kRegOk) {
    plat::CloseRegKey(isaPnpKey);
    return false;
  }
  RemoveMatchingKeys(isaPnpKey, classKey, ids);
  plat::CloseRegKey(isaPnpKey);
  plat::CloseRegKey(classKey);
  return true;
}
