// The machine that the native checker (seldchk) runs the program's readers
// on: a backend of platform.h on the host where driver disks are put
// together. It holds one file, which the private-profile reader reads by
// the rules of platform/profile as the system family given reads it, the
// Windows and system directories the user gave, and the current directory
// the user gave or none, so that a relative path can be told from one
// judged against a guess; the checker may change to another. Memory comes
// from the host, and the standard streams are the host's. Every other call
// fails, as on a machine that holds nothing else: nothing is looked at,
// nothing is changed.
#pragma once

#include <cstddef>

#include "platform/profile/profile_text.h"

namespace host {

struct Machine {
  const char* profilePath;  // the one file, as the readers name it
  // Its text as reading takes it from the file's bytes (ProfileText):
  // profileSize bytes.
  const char* profileText;
  size_t profileSize;
  ProfileReading reading;  // also the system family the machine is of
  const char* windowsDir;
  const char* systemDir;
  const char* currentDir;  // null: the system cannot tell it
};

// Makes machine, whose strings and bytes the caller keeps for as long as
// platform calls are made, the one the platform calls see.
void UseMachine(const Machine& machine);

}  // namespace host
