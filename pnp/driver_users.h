// Whether another device still uses a class driver key.
#pragma once

// True when a device key below HKEY_LOCAL_MACHINE\Enum outside the card's
// (those below ENUM\ISAPNP whose names begin with an id of ids, a
// pnp_id_list.h list) has an instance whose "Driver" value names driverPath
// (letter case ignored), or when the Enum key cannot be opened and so it
// cannot be told.
//
// The walk is three levels deep (bus, device, instance), as the Enum tree
// of Windows 95 is, and never recursive. With B bus keys, D device keys and
// I instance keys it makes at most 3B + 4D + 5I + 3 registry calls (one
// enumeration past the end of each key, an open and a close of each key, a
// value read of each instance); some hundreds of keys on a Windows 95 PC
// come to a few thousand calls.
bool DeviceOutsideCardNamesDriver(const char* driverPath, const char* ids);
