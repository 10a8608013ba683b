// Byte classes and letter case of the program's texts (command lines,
// start-up files, paths), ASCII only: bytes above 127 are ordinary
// characters, never letters or blanks, whatever the code page.
#pragma once

#include "platform/platform.h"

// A space or a tab: the blanks of DOS start-up files and of the release
// tool's command line.
inline bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// A space or any control byte: what the system passes over after a
// program's name on its command line.
inline bool IsSpaceOrControl(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

inline bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// a to z as A to Z; every other byte unchanged (the platform's, which its
// own implementations share).
using plat::UpperAscii;

// A to Z as a to z; every other byte unchanged.
inline char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
