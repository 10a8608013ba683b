// Text files held as lines in memory.
//
// Text mode is done here over byte I/O so it is the same everywhere: CR LF or
// a lone LF ends a line (a CR elsewhere is an ordinary character), Ctrl-Z
// ends the data, lines are written with CR LF, empty lines are not written.
#pragma once

// Slots 0..count-1 hold heap lines; 16 null slots follow for added lines.
typedef char** LineArray;

constexpr int kSpareLineSlots = 16;

// Loads the file at path; returns null (count 0) when it cannot be opened or
// read to its end, holds a NUL byte, or memory runs out. Lines are held
// whole, however long.
LineArray LoadTextLines(const char* path, int* count);

// Writes the non-empty lines 0..count-1 to path through a temporary file
// beside it that replaces the original only when it was written completely.
// The temporary file is the target's name with the extension "$$$" (a
// target named *.$$$ uses "$$_"). Returns 0 when written, 1 when nothing was
// changed (read-only target, a directory, or any failure to write).
int SaveTextLines(LineArray lines, const char* path, int count);

// Releases lines 0..count-1 and the slot array; nothing for a null array.
void FreeTextLines(LineArray lines, int count);

// A heap copy of text (plat::Allocate), or null when memory runs out.
char* DuplicateLine(const char* text);
