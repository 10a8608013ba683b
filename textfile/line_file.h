// Text files held as lines in memory: loaded and released by
// line_file.cpp, saved by line_save.cpp.
//
// Text mode is done here over byte I/O so it is the same everywhere: CR LF,
// a lone LF or a lone CR ends a line (COMMAND.COM ends a batch line at a CR),
// Ctrl-Z ends the data, lines are written with CR LF, empty lines are not
// written.
#pragma once

#include <cstdint>

// Slots 0..count-1 hold heap lines; 16 null slots follow for added lines.
typedef char** LineArray;

constexpr int kSpareLineSlots = 16;

// --- line_file.cpp: loading, copying and releasing lines ---

// Loads the file at path; returns null (count 0) when it cannot be opened or
// read to its end, holds a NUL byte, has more lines than a slot array can
// address, or memory runs out. Lines are held whole, however long.
LineArray LoadTextLines(const char* path, int* count);

// The bytes of the slot array for lineCount lines and the spare slots, with
// pointers of pointerSize bytes on a system whose largest size is sizeLimit
// (SIZE_MAX); 0 when that does not fit, or the count would not fit an int.
uint64_t SlotArrayBytes(uint32_t lineCount, uint32_t pointerSize,
                        uint64_t sizeLimit);

// Releases lines 0..count-1 and the slot array; nothing for a null array.
void FreeTextLines(LineArray lines, int count);

// A heap copy of text (plat::Allocate), or null when memory runs out.
char* DuplicateLine(const char* text);

// --- line_save.cpp: saving lines ---

// Writes the non-empty lines 0..count-1 to path through a temporary file
// beside it that replaces the original only when it was written completely
// and given the original's hidden, system and archive attributes. The
// temporary file is the target's name with the extension "$$$", or the
// first of "$00" to "$99" when that file exists: a file of the user's is
// never overwritten. Returns 0 when written, 1 when nothing was changed
// (read-only target, a directory, no free temporary name, or any failure
// to write).
int SaveTextLines(LineArray lines, const char* path, int count);
