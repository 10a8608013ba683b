// "%WINDIR%" and "%WINSYS%" at the very start of a path value.
#pragma once

// Writes source into dest (size bytes) with a leading "%WINDIR%" replaced by
// the Windows directory or a leading "%WINSYS%" by the system directory
// (case-sensitive, at most one macro, nothing inserted where they meet).
// The result is cut to size - 1 characters; returns false when it was cut
// or the directory could not be read, so that a caller never acts on a path
// that names another file.
bool ExpandPathMacros(char* dest, int size, const char* source);

// The same with the two directories given instead of asked of the system
// (for judging a control file against a machine described by hand).
bool ExpandPathMacrosWith(char* dest, int size, const char* source,
                          const char* windowsDir, const char* systemDir);

// The Windows directory, a backslash unless it already ends in one, and
// name, into out (kPathSize bytes). False when the system cannot tell the
// directory or the path does not fit.
bool WindowsDirectoryPath(char* out, const char* name);
