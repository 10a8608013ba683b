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

// A line string cannot hold a NUL byte, yet start-up files with one are
// edited like any other and keep it: in a loaded line a NUL byte of the file
// is the two bytes kLineEscape kEscapedNul, a kLineEscape byte of the file
// is kLineEscape twice, and the save writes them back as they were. Lines
// that the editors add hold no control bytes. Neither byte is part of any
// word the editors look for, nor separates anything.
constexpr char kLineEscape = '\x01';
constexpr char kEscapedNul = '\x02';

// --- line_file.cpp: loading, copying and releasing lines ---

// Loads the file at path; returns null (count 0) when it cannot be opened or
// read to its end, has more lines than a slot array can address, or memory
// runs out. Lines are held whole, however long. A file that an interrupted
// save left aside (plat::RecoverReplacedFile) gets its name back first.
LineArray LoadTextLines(const char* path, int* count);

// The bytes of the slot array for lineCount lines and the spare slots, with
// pointers of pointerSize bytes on a system whose largest size is sizeLimit
// (SIZE_MAX); 0 when that does not fit, or the count would not fit an int.
uint64_t SlotArrayBytes(uint32_t lineCount, uint32_t pointerSize,
                        uint64_t sizeLimit);

// Releases lines 0..count-1 and the slot array; nothing for a null array.
void FreeTextLines(LineArray lines, int count);

// Whether path names a file (not a directory): for an editor, a file that
// LoadTextLines could not load and that is there was left unedited.
bool IsExistingFile(const char* path);

// A heap copy of text (plat::Allocate), or null when memory runs out.
char* DuplicateLine(const char* text);

// --- line_save.cpp: saving lines ---

// Writes the non-empty lines 0..count-1 to path through a temporary file
// beside it (CreateTemporary, temporary_file.h: a file of the user's is
// never overwritten, an earlier run's leftover is removed) that replaces
// the original only when it was written completely, flushed to the disk and
// given the original's hidden, system and archive attributes. Returns 0
// when written, 1 when nothing was changed (read-only target, a directory,
// no free temporary name, or any failure to write).
int SaveTextLines(LineArray lines, const char* path, int count);
