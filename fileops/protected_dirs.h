// The directories that a typing error in a control file must not empty:
// every drive root, the Windows directory, the system directory, and every
// directory that holds one of them. [deltree] passes over such a directory,
// [multdel] over a pattern that names every file in one.
//
// A path is compared by the directory it names, however it is written:
// letter case, "/" or "\", repeated or trailing separators, "." and ".."
// components, trailing dots and blanks of names (which the system drops),
// relative and drive-relative forms, and short (8.3) names. Where the
// directory cannot be told, it counts as protected: the current directory
// of a drive other than the current one ("D:" or "D:NAME"), device paths
// ("\\?\", "\\.\"), names made of three or more dots (Windows 95 reads
// "..." as the grandparent), paths too long to resolve, and any path when
// the system cannot tell its Windows or system directory.
#pragma once

#include <cstddef>

// True when directory is a protected directory (or cannot be told).
bool IsProtectedDirectory(const char* directory);

// True when the tree removal must pass over directory: a protected
// directory, or a bare drive such as "C:". That one names the current
// directory of its drive, but the tree removal joins "\*.*" and the names it
// finds to it with a backslash, and so would empty the root of the drive.
bool IsProtectedTree(const char* directory);

// True when the name part of pattern (what follows its first
// directoryLength characters) holds nothing but "*", "?" and ".", so that it
// names every file, and the directory part is a protected directory. The
// empty directory part is the current directory.
bool IsProtectedSweep(const char* pattern, size_t directoryLength);
