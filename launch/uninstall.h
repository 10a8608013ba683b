// The uninstall sequence: confirmation, removal steps, closing message.
#pragma once

#include "launch/launch_state.h"

// Returns the exit code, 0 in every outcome.
int RunUninstall(LaunchState* state);
