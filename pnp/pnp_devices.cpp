#include "pnp/pnp_devices.h"
// Not built yet.
int ReadPnpIdList(const char*, char* list) { list[0] = 0; return 0; }
int RemovePnpDevices(const char*) { return 0; }
int ReleaseDeviceInstances(plat::RegKey, plat::RegKey) { return 1; }
