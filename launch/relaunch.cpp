#include "launch/relaunch.h"
// Not built yet.
int RelaunchFromTemp(LaunchState*) { return 0; }
