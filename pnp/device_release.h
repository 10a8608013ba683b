// Releasing the device nodes of one device key and deleting their class
// driver keys.
#pragma once

#include "platform/platform.h"

// For each instance of the open device key: broadcasts the removal of its
// device node, runs DEVEJECT on it, deletes its class driver key.
void ReleaseDeviceInstances(plat::RegKey deviceKey, plat::RegKey classKey);
