#include "pnp/driver_users.h"

#include <cstring>

#include "control/ascii_chars.h"
#include "control/path_helpers.h"
#include "platform/platform.h"
#include "pnp/pnp_id_list.h"

namespace {

const char kEnumPath[] = "ENUM";
const char kOwnBus[] = "ISAPNP";

// Registry names are compared without regard to letter case.
bool SameName(const char* a, const char* b) {
  for (; *a != '\0' && UpperAscii(*a) == UpperAscii(*b); ++a, ++b) {
  }
  return *a == '\0' && *b == '\0';
}

// The instance key named instance below deviceKey has a "Driver" value
// that names driverPath.
bool InstanceNames(plat::RegKey deviceKey, const char* instance,
                   const char* driverPath) {
  plat::RegKey instanceKey;
  if (plat::OpenRegKey(deviceKey, instance, &instanceKey) != plat::kRegOk) {
    return false;
  }
  // Room for a value of 256 bytes without terminator, as the release reads.
  char driver[kPathSize + 1];
  uint32_t size = kPathSize;
  bool names = plat::QueryRegValue(instanceKey, "Driver", driver, &size) ==
               plat::kRegOk;
  plat::CloseRegKey(instanceKey);
  if (!names) return false;
  driver[size] = '\0';
  return SameName(driver, driverPath);
}

// One of the instances of the device key called device below busKey names
// driverPath.
bool DeviceNames(plat::RegKey busKey, const char* device,
                 const char* driverPath) {
  plat::RegKey deviceKey;
  if (plat::OpenRegKey(busKey, device, &deviceKey) != plat::kRegOk) {
    return false;
  }
  bool names = false;
  char instance[kPathSize];
  for (uint32_t index = 0;
       !names && plat::EnumRegSubkey(deviceKey, index, instance,
                                     sizeof instance) == plat::kRegOk;
       ++index) {
    names = InstanceNames(deviceKey, instance, driverPath);
  }
  plat::CloseRegKey(deviceKey);
  return names;
}

// One of the device keys of the bus key called bus below enumKey, leaving
// out the card's own, names driverPath.
bool BusNames(plat::RegKey enumKey, const char* bus, const char* driverPath,
              const char* ids) {
  plat::RegKey busKey;
  if (plat::OpenRegKey(enumKey, bus, &busKey) != plat::kRegOk) return false;
  bool ownBus = SameName(bus, kOwnBus);
  bool names = false;
  char device[kPathSize];
  for (uint32_t index = 0;
       !names && plat::EnumRegSubkey(busKey, index, device, sizeof device) ==
                     plat::kRegOk;
       ++index) {
    if (ownBus && MatchesPnpId(ids, device)) continue;
    names = DeviceNames(busKey, device, driverPath);
  }
  plat::CloseRegKey(busKey);
  return names;
}

}  // namespace

bool DeviceOutsideCardNamesDriver(const char* driverPath, const char* ids) {
  plat::RegKey enumKey;
  if (plat::OpenRegKey(plat::kHkeyLocalMachine, kEnumPath, &enumKey) !=
      plat::kRegOk) {
    return true;
  }
  bool names = false;
  char bus[kPathSize];
  for (uint32_t index = 0;
       !names && plat::EnumRegSubkey(enumKey, index, bus, sizeof bus) ==
                     plat::kRegOk;
       ++index) {
    names = BusNames(enumKey, bus, driverPath, ids);
  }
  plat::CloseRegKey(enumKey);
  return names;
}
