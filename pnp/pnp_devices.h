// Removing the card's ISA Plug and Play device keys and releasing their nodes.
#pragma once

#include "platform/platform.h"

constexpr int kPnpIdListSize = 4096;
constexpr int kPnpIdValueSize = 25;   // 24 characters and the terminator
constexpr int kPnpIdListLimit = 4070; // stop reading past this many bytes

// Reads [pnpids] into list (kPnpIdListSize bytes): ids one after another,
// each zero-terminated, one more zero byte closing the list. Returns the
// number of ids.
int ReadPnpIdList(const char* controlPath, char* list);

// Removes every HKLM\ENUM\ISAPNP subkey whose name begins (case-sensitive)
// with an id of [pnpids]. Returns 1 when both registry keys opened, else 0.
int RemovePnpDevices(const char* controlPath);

// For each instance of the open device key: broadcasts the removal of its
// device node, runs DEVEJECT on it, deletes its class driver key. Returns 1.
int ReleaseDeviceInstances(plat::RegKey deviceKey, plat::RegKey classKey);
