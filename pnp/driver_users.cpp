#include "pnp/driver_users.h"

#include "control/ascii_chars.h"
#include "control/path_helpers.h"
#include "platform/platform.h"
#include "pnp/pnp_id_list.h"

namespace {

const char kEnumPath[] = "ENUM";
const char kCardBus[] = "ISAPNP";

// The levels of the Enum tree: the Enum key, bus keys, device keys,
// instance keys.
constexpr int kEnumLevel = 3;
constexpr int kBusLevel = 2;
constexpr int kInstanceLevel = 0;

// Registry names are compared without regard to letter case.
bool SameName(const char* a, const char* b) {
  for (; *a != '\0' && UpperAscii(*a) == UpperAscii(*b); ++a, ++b) {
  }
  return *a == '\0' && *b == '\0';
}

// The open instance key's "Driver" value names driverPath.
bool DriverNames(plat::RegKey instanceKey, const char* driverPath) {
  // Room for a value of 256 bytes without terminator, as the release reads.
  char driver[kPathSize + 1];
  uint32_t size = kPathSize;
  if (plat::QueryRegValue(instanceKey, "Driver", driver, &size) !=
      plat::kRegOk) {
    return false;
  }
  driver[size] = '\0';
  return SameName(driver, driverPath);
}

// The open key, levels above the instance keys, names driverPath in one of
// its instances. Below the card's bus (cardBus) the card's device keys
// (those an id of ids begins) are left out.
bool KeyNames(plat::RegKey key, int levels, bool cardBus,
              const char* driverPath, const char* ids) {
  if (levels == kInstanceLevel) return DriverNames(key, driverPath);
  bool names = false;
  char child[kPathSize];
  for (uint32_t index = 0;
       !names && plat::EnumRegSubkey(key, index, child, sizeof child) ==
                     plat::kRegOk;
       ++index) {
    plat::RegKey childKey;
    if ((levels == kBusLevel && cardBus && MatchesPnpId(ids, child)) ||
        plat::OpenRegKey(key, child, &childKey) != plat::kRegOk) {
      continue;
    }
    names = KeyNames(childKey, levels - 1,
                     levels == kEnumLevel && SameName(child, kCardBus),
                     driverPath, ids);
    plat::CloseRegKey(childKey);
  }
  return names;
}

}  // namespace

bool DeviceOutsideCardNamesDriver(const char* driverPath, const char* ids) {
  plat::RegKey enumKey;
  if (plat::OpenRegKey(plat::kHkeyLocalMachine, kEnumPath, &enumKey) !=
      plat::kRegOk) {
    return true;
  }
  bool names = KeyNames(enumKey, kEnumLevel, false, driverPath, ids);
  plat::CloseRegKey(enumKey);
  return names;
}
