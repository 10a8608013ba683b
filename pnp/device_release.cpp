#include "pnp/device_release.h"

#include <cstring>

#include "control/path_helpers.h"
#include "pnp/devnode_arg.h"
#include "pnp/driver_users.h"

namespace {

const char kDriversSuffix[] = "\\Drivers";
constexpr int kSuffixLength = sizeof kDriversSuffix - 1;
// A "Driver" value of up to 256 bytes (255 characters and the terminator,
// or 256 characters stored without one), "\Drivers" and a terminator.
constexpr int kDriverPathSize = kPathSize + kSuffixLength + 1;

// What the broadcasts of one call share: the platform narrows the recipients
// word to the recipients that a broadcast reached, and the next broadcast
// goes to those.
struct Announcement {
  uint32_t recipients;
  plat::DevBroadcastDevnode record;
};

// Whether a "Driver" value has the form class "\" instance, both parts
// non-empty key names. Anything else names a whole class (MEDIA, MEDIA\),
// the Class key itself or the registry root (empty, \0001), or a key whose
// meaning depends on how the registry reads empty parts (MEDIA\\0001):
// deleting "the class driver key" could then take every other device's
// driver key with it.
bool NamesOneClassDriver(const char* path) {
  int slashes = 0;
  size_t slashAt = 0;
  size_t length = 0;
  for (; path[length] != '\0'; ++length) {
    if (path[length] == '\\') {
      ++slashes;
      slashAt = length;
    }
  }
  return slashes == 1 && slashAt > 0 && slashAt + 1 < length;
}

// Reads the instance's "Driver" value, the class driver key's path below the
// Class key. A value stored without a terminator is terminated here. False
// when the value is missing or too long, or does not name one class driver
// key.
bool ReadDriverPath(plat::RegKey instanceKey, char* path) {
  memset(path, 0, kDriverPathSize);
  uint32_t size = kPathSize;
  if (plat::QueryRegValue(instanceKey, "Driver", path, &size) !=
      plat::kRegOk) {
    return false;
  }
  path[size < kPathSize ? size : kPathSize] = '\0';
  return NamesOneClassDriver(path);
}

// Reads "DevNode" into the record. The field is cleared first so that a
// value shorter than 4 bytes leaves no bytes of an earlier instance behind.
bool ReadDevnode(plat::RegKey driversKey, plat::DevBroadcastDevnode* record) {
  record->devnode = 0;
  uint32_t size = sizeof record->devnode;
  return plat::QueryRegValue(driversKey, "DevNode", &record->devnode,
                             &size) == plat::kRegOk;
}

// Tells the drivers that the node goes away, then runs the release tool on
// it and waits for its end. Nothing of either result is used.
void ReleaseDevnode(Announcement* announcement) {
  plat::BroadcastDeviceChange(plat::kBroadcastFlags,
                              &announcement->recipients,
                              plat::kWmDeviceChange,
                              plat::kDbtDeviceRemovePending,
                              &announcement->record);
  plat::BroadcastDeviceChange(plat::kBroadcastFlags,
                              &announcement->recipients,
                              plat::kWmDeviceChange,
                              plat::kDbtDeviceRemoveComplete,
                              &announcement->record);
  char commandLine[sizeof "DEVEJECT " + kDevnodeArgSize];
  memcpy(commandLine, "DEVEJECT ", sizeof "DEVEJECT ");
  FormatDevnodeArg(announcement->record.devnode,
                   commandLine + sizeof "DEVEJECT " - 1);
  plat::RunAndWait("DEVEJECT", commandLine);
}

// Releases the device node kept below the class driver key at driverPath (if
// there is one), then deletes the class driver key unless a device outside
// the card (ids) still names it: that device would lose its driver and
// come back as new hardware.
void ReleaseClassDriver(plat::RegKey classKey, char* driverPath,
                        const char* ids, Announcement* announcement) {
  size_t length = strlen(driverPath);
  memcpy(driverPath + length, kDriversSuffix, sizeof kDriversSuffix);
  plat::RegKey driversKey;
  if (plat::OpenRegKey(classKey, driverPath, &driversKey) == plat::kRegOk) {
    if (ReadDevnode(driversKey, &announcement->record)) {
      ReleaseDevnode(announcement);
    }
    plat::CloseRegKey(driversKey);
  }
  driverPath[length] = '\0';
  if (!DeviceOutsideCardNamesDriver(driverPath, ids)) {
    plat::DeleteRegTree(classKey, driverPath);
  }
}

void ReleaseInstance(plat::RegKey deviceKey, plat::RegKey classKey,
                     const char* ids, const char* instance,
                     Announcement* announcement) {
  plat::RegKey instanceKey;
  if (plat::OpenRegKey(deviceKey, instance, &instanceKey) != plat::kRegOk) {
    return;
  }
  char driverPath[kDriverPathSize];
  if (ReadDriverPath(instanceKey, driverPath)) {
    ReleaseClassDriver(classKey, driverPath, ids, announcement);
  }
  plat::CloseRegKey(instanceKey);
}

}  // namespace

void ReleaseDeviceInstances(plat::RegKey deviceKey, plat::RegKey classKey,
                            const char* ids) {
  // Field by field: an initializer list would be kept as a copy in a data
  // section of its own, which costs the i686 program a 512-byte block.
  Announcement announcement;
  announcement.recipients = plat::kBroadcastRecipients;
  announcement.record.size = sizeof(plat::DevBroadcastDevnode);
  announcement.record.deviceType = plat::kDbtDevtypDevnode;
  announcement.record.reserved = 0;
  announcement.record.devnode = 0;
  // No instance key is deleted here, so the enumeration does not shift.
  char instance[kPathSize];
  for (uint32_t index = 0;
       plat::EnumRegSubkey(deviceKey, index, instance, sizeof instance) ==
       plat::kRegOk;
       ++index) {
    ReleaseInstance(deviceKey, classKey, ids, instance, &announcement);
  }
}
