// The buffers the entry holds for the whole run and hands to each branch.
#pragma once

#include "control/message.h"
#include "control/path_helpers.h"

struct LaunchState {
  bool postInstall;                  // the post-install switch was given
  char controlPath[kPathSize];       // full path of the control file
  char tempPath[kPathSize];          // the relaunch's temporary directory
  char work[kPathSize];              // current directory, then scratch paths
  char message[kMessageBufferSize];  // text assembled by LoadMessage
  char title[kMessagePieceSize];     // [TITLE], empty for the built-in one
};
