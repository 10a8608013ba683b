// Small helpers for the fixed 256-byte path buffers used everywhere.
#pragma once

// Buffer size of every path the program builds: at most 255 characters.
constexpr int kPathSize = 256;

// Appends a backslash unless the path already ends in one (a drive root
// such as C:\ stays as it is). The buffer must have room for one more
// character.
// Returns the length afterwards.
int AddTrailingBackslash(char* path);

// Removes one final "\" if there is one; C:\ becomes C:. Returns the length
// afterwards.
int RemoveTrailingBackslash(char* path);

// Copies source into dest (size bytes) when it fits whole; returns false and
// leaves dest empty when it does not.
bool CopyPath(char* dest, int size, const char* source);

// Appends tail to the string in dest (size bytes) when the result fits whole;
// returns false and leaves dest unchanged when it does not.
bool AppendPath(char* dest, int size, const char* tail);

// Appends a backslash unless the path already ends in one, then name, when
// the result fits dest (size bytes) whole; returns false and leaves dest
// unchanged when it does not.
bool AppendName(char* dest, int size, const char* name);

// Equal but for the letter case of ASCII letters: how two names or paths
// spelled the same way are compared.
bool SameTextAnyCase(const char* a, const char* b);
