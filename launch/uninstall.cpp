#include "launch/uninstall.h"
// Not built yet.
int RunUninstall(LaunchState*) { return 0; }
