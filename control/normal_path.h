// The one form in which the program acts on a path from the control file.
//
// A value may name a file in many spellings: relative or drive-relative,
// with "/" for "\", doubled separators, "." and ".." names, trailing blanks
// and dots that the system drops. Every list, the directory guard and the
// WININIT.INI entry act on one form of it, the normal form:
//
//   - absolute: a relative value starts from the current directory, "\NAME"
//     from the root of its drive, "X:NAME" from the current directory of
//     drive X, as the system keeps it;
//   - "\" between names, no empty, "." or ".." names (".." never above the
//     root), no trailing blanks or dots on any name;
//   - the root is "X:\" or "\\SERVER\SHARE\"; every other normal form ends
//     in a name, never in "\";
//   - letter case as written, the drive letter in capitals;
//   - at most 255 characters.
#pragma once

enum class PathForm {
  Normal,  // the normal form is stored
  // "\??\", "\\?\" or "\\.\" (with "\" or "/"): the NT and device
  // namespaces, where the system skips the very normalisation above.
  // Windows 95 has no such paths.
  Device,
  // What the value names cannot be told: a name of dots and blanks only
  // other than "." and ".." (Windows 95 reads "..." as the grandparent,
  // NT as nothing), a ":" after the drive (an NTFS stream, or nothing), a
  // network name without its share, a current directory the system cannot
  // tell, or a normal form longer than 255 characters.
  Untold,
};

// Brings text to its normal form in out (kPathSize bytes); out is empty
// unless the result is Normal.
PathForm NormalizePath(const char* text, char* out);
