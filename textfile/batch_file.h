// Removing the card's entries from AUTOEXEC.BAT and DOSSTART.BAT.
#pragma once

#include "control/not_done.h"
#include "textfile/line_file.h"

// Removes every PATH entry naming HALCYREN.ROM, then every line still
// naming HALCYREN.ROM or HALCYRENE; then the same two steps for each usable
// word of the control file's [dosclean] list (textfile/dos_words.h), and
// writes the file back. A file that needed an edit and could not be
// written, or that is there and could not be read, is noted as not changed.
void CleanBatchFile(const char* path, const char* controlPath,
                    NotDone* notDone);

// Removes every entry holding word (upper case, part of a path entry: no
// ";", "=" or blanks; any letter case in the line) from the PATH lists of
// the lines. An entry is a run of characters
// between ";", "=" and blanks; it belongs to a PATH list when a ";"
// precedes it and the word PATH followed by "=" or a blank stands earlier in
// the line, or when PATH and "=" or blanks stand right before it (after
// SET, IF ..., REM, "@" or nothing). A ";" before the entry goes with it; an
// entry that opens the list takes the ";" after it instead. Entries outside
// PATH lists stay.
void RemovePathEntry(LineArray lines, int count, const char* word);

// Empties every line that holds word (upper case), in any letter case.
void BlankMatchingLines(LineArray lines, int count, const char* word);
