// Whether another device still uses a class driver key.
#pragma once

// True when a device key below HKEY_LOCAL_MACHINE\Enum outside the card's
// (those below ENUM\ISAPNP whose names begin with an id of ids, a
// pnp_id_list.h list) has an instance whose "Driver" value names driverPath
// (letter case ignored), or when the Enum key cannot be opened and so it
// cannot be told.
//
// The walk goes three levels down (bus, device, instance keys), as the
// Enum tree of Windows 95 is deep, and no further; each level keeps one
// name buffer on the stack. With B bus keys, D device keys and I instance
// keys it makes at most 4B + 4D + 4I + 3 registry calls (an enumeration, an
// open and a close of each key, one enumeration past the end of each key
// above the instances, a value read of each instance); the some hundreds
// of keys of a Windows 95 PC come to a few thousand calls, once for each
// class driver key the card's devices name.
bool DeviceOutsideCardNamesDriver(const char* driverPath, const char* ids);
