// Removing the card's entries from AUTOEXEC.BAT and DOSSTART.BAT.
#pragma once

#include "textfile/line_file.h"

// Removes the PATH entry naming HALCYREN.ROM, then every line naming
// HALCYREN.ROM or HALCYRENE, and writes the file back.
void CleanBatchFile(const char* path);

// In every line that mentions PATH, removes the first entry holding word
// (upper case): from the ";" before it (or the character after an "=", or
// after the blank of "PATH dir;...") up to the next ";", which stays.
void RemovePathEntry(LineArray lines, int count, const char* word);

// Empties every line that holds word (upper case), in any letter case.
void BlankMatchingLines(LineArray lines, int count, const char* word);
