// Findings about one path value of [copy], [delete], [multdel] or
// [deltree] as the run cursor read and judged it: its length before and
// after the macro, the macros, quotes and comments, wildcards, the
// program's guards, and what a relative value names where the program runs.
#pragma once

#include <cstddef>

#include "seldchk/findings.h"
#include "seldchk/run_cursor.h"
#include "seldchk/run_places.h"

struct PathCheck {
  PathRole role;
  const char* label;  // "[delete] key 2"
  const EntryValue* value;
  size_t wholeLength;  // the value's length in the file, past any buffer
  const Directories* directories;
  const RunPlaces* places;
};

void CheckPathValue(const PathCheck& check, Findings* findings);

// What value, judged for the plan's place, names in place: itself for an
// absolute value, else judged afresh from place's directory (place known).
void JudgeInPlace(PathRole role, const Directories& directories,
                  const EntryValue& value, const RunPlace& place,
                  EntryValue* there);

// Findings about text that a writer may take for something else: a ";"
// after the value (no comment there), a quote that is not one of a pair
// around the value, UTF-8 text (tail says what it does).
void CheckReadAsWritten(const char* label, int line, const char* value,
                        Findings* findings);
void CheckUtf8(const char* label, int line, const char* value,
               const char* tail, Findings* findings);
