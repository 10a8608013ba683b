// Releasing the device nodes of one device key and deleting their class
// driver keys.
#pragma once

#include "platform/platform.h"

// For each instance of the open device key: broadcasts the removal of its
// device node, runs DEVEJECT on it, deletes its class driver key unless a
// device outside the card (whose ids, a pnp_id_list.h list, are ids) names
// that key too.
void ReleaseDeviceInstances(plat::RegKey deviceKey, plat::RegKey classKey,
                            const char* ids);
