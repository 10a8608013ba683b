// Where the program runs, and which control file it reads there. A control
// file is used in two places:
//   - started in the directory that holds it (a driver disk, say), the
//     program runs there and reads it there;
//   - started in C:\VANTORIS (or below), the program hands over to its
//     copy in the temporary directory, which runs there and reads the copy
//     SELDUNAX.INI there.
// The plan shows the first unless the directory is in C:\VANTORIS, where
// only the second happens; relative values and self-reference are judged
// in both.
#pragma once

#include "control/path_helpers.h"

// The Windows and system directories that the path macros stand for.
struct Directories {
  char windows[kPathSize];
  char system[kPathSize];
  // They are the system's own (SELDCHK.EXE, none given): every macro then
  // expands as the program expands it there, the shared folders from the
  // registry. Else the shared folders are their English names below
  // windows, as on a PC whose registry names none.
  bool systemsOwn;
};

struct RunPlace {
  bool known;                   // false: the directory cannot be told
  char directory[kPathSize];    // the run's current directory, normal form
  char controlPath[kPathSize];  // the control file it reads, normal form
};

struct RunPlaces {
  RunPlace disk;      // started where the control file lies
  RunPlace handOver;  // the copy in the temporary directory
  bool diskHandsOver;  // the disk directory is in C:\VANTORIS
};

// The places of a control file named fileName (its last name counts) that
// the program is started with in directory (null when it cannot be told);
// the temporary directory is the platform's.
void FindRunPlaces(const char* directory, const char* fileName,
                   RunPlaces* places);

// The run the plan shows, and the other one (never the same place).
const RunPlace& PlanPlace(const RunPlaces& places);
const RunPlace& OtherPlace(const RunPlaces& places);

// Whether value (macros expanded) depends on the current directory: no
// "X:\", no "\\SERVER". ("\??\" passes as relative: an NT path is passed
// over before this is asked.)
bool IsRelativePath(const char* value);

// What relative, a relative value, names for a run in directory (a normal
// form), as the system there would make it absolute: into out (kPathSize
// bytes) the absolute text, which the normal form then reads. A value
// "X:NAME" on another drive starts from its root. False when it does not
// fit.
bool AbsoluteFrom(const char* directory, const char* relative, char* out);
