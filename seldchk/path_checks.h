// Checks of one path value of [copy], [delete], [multdel] or [deltree]:
// its length before and after the macro, the macros, wildcards, and the
// program's guards.
#pragma once

#include <string>

#include "seldchk/checker.h"
#include "seldchk/findings.h"

// Which list a path belongs to.
enum class PathRole { CopyFrom, CopyTo, Delete, MultiDelete, DeleteTree };

// Checks entry->value, found under label ("[delete] key 2") at entry->line;
// sets entry->path to the expansion, or entry->passed to why the program
// passes the value over.
void CheckPathValue(PathRole role, const std::string& label,
                    const Directories& directories, ReadEntry* entry,
                    Findings* findings);

// Findings about text that a writer may take for something else: a ";"
// after the value (no comment there) and a quote that is not one of a pair
// around the value.
void CheckReadAsWritten(const std::string& label, int line,
                        const std::string& value, Findings* findings);

// Findings about "%...%" in value (macros in the wrong letter case, in the
// wrong place, misspelt, unclosed).
void CheckMacros(const std::string& label, int line, const std::string& value,
                 Findings* findings);
