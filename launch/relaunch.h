// Leaving the install directory: copies into TEMP and the hand-over.
#pragma once

#include "launch/launch_state.h"

// Returns 2 after a failure, 0 when the hand-over did not end the process.
int RelaunchFromTemp(LaunchState* state);
