// The rules of the system's private-profile reader (GetPrivateProfileStringA)
// over an INI file's text, in one place: the in-memory machine's reader,
// the checker's host machine and the checker's reading with line numbers
// all read through here. Pure: no platform calls, no allocation, no state
// beyond what the caller holds. tests/data/ini/lookups.tsv holds these rules
// to the system's own reader.
//
// The text is what a reading takes from the file's bytes (profile_text.h);
// each function is told the reading, which decides one rule of the walk.
//
// The rules:
//   - a CR or an LF ends a line; blanks (space, tab, CR, LF, VT, FF and ^Z,
//     the DOS end-of-file mark) around names and values are dropped, and a
//     line of blanks alone is skipped;
//   - "[name]" opens a section, the name ending at the line's last "]";
//     before the first section nothing is read;
//   - in a section, a line with "=" is key=value (the key ends at the first
//     "="), a line without names a key without a value;
//   - names compare without regard to the case of ASCII letters; in the NT
//     family's reading a name ends at its first NUL byte, once the blanks
//     around it are dropped;
//   - only the first section of a name is searched, and in it the first line
//     of a key decides (one without "=" gives the default);
//   - a value ends at a NUL byte and loses matching outer quotes ("..." or
//     '...'); cut to a buffer, a quoted value that just fills it loses its
//     last character too (StoreProfileValue);
//   - the default loses trailing spaces, then is stored as a value is;
//   - an empty section name names no section.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/profile/profile_text.h"

// A run of bytes: its offset in the text it was found in, and its length.
struct ProfileSpan {
  size_t begin;
  size_t length;
};

enum class ProfileLineKind {
  Section,  // "[name]"
  Key,      // a line of a section: "name=value", or "name" alone
  Stray,    // a line before the first section, read as a key but never found
};

// One line of the file that is not blank. Spans are offsets in the bytes.
struct ProfileLine {
  ProfileLineKind kind;
  int number;         // the line an editor shows it on: 1 for the first
  ProfileSpan name;   // blanks around it dropped
  bool hasValue;      // a key line holding "="
  ProfileSpan value;  // what follows the first "=", blanks around it dropped
};

// Walks the lines of an INI file's text, which the caller keeps:
//
//   ProfileCursor cursor = StartProfile(text, size, reading);
//   ProfileLine line;
//   while (NextProfileLine(&cursor, &line)) ...
struct ProfileCursor {
  const char* bytes;
  size_t size;
  size_t next;     // where the next line begins
  int number;      // the editor's number of that line
  bool inSection;  // a section has been opened
  ProfileReading reading;
};

ProfileCursor StartProfile(const char* text, size_t size,
                           ProfileReading reading);

// The next line that is not blank into *line; false at the end.
bool NextProfileLine(ProfileCursor* cursor, ProfileLine* line);

// A section or key name as a caller asks for it (null for none): the span
// of text without the blanks around it.
ProfileSpan TrimProfileArgument(const char* text);

// Orders two names as the reader compares them (ASCII letter case ignored):
// negative, zero or positive.
int CompareProfileNames(const char* a, size_t lengthA, const char* b,
                        size_t lengthB);

// A value as the reader hands it over, whole: up to its first NUL byte,
// without matching outer quotes. text points into the caller's bytes.
struct ProfileValue {
  const char* text;
  size_t length;
  bool quoted;  // it stood in matching quotes, which are dropped
};

// The value of a key line (length bytes at text, blanks already dropped).
ProfileValue ReadProfileValue(const char* text, size_t length);

// Stores value into out (size bytes, size > 0) as the reader does, cut to
// size - 1 characters, zero-terminated. Returns the number stored.
uint32_t StoreProfileValue(ProfileValue value, char* out, uint32_t size);

// Stores the default def (null for none) into out as the reader does.
uint32_t StoreProfileDefault(const char* def, char* out, uint32_t size);

// The line of key in the first section named section, both given as the
// caller asks for them (blanks around them are dropped): true with *found
// set when there is one, with or without "=". A look-up over all the text,
// for one file read a few times; a reader that looks up often keeps an
// index of the same lines.
bool FindProfileKey(const char* text, size_t size, ProfileReading reading,
                    const char* section, const char* key, ProfileLine* found);

// GetPrivateProfileStringA over the text of one file as reading takes it:
// the value of key in section, or def, into out (size bytes). Returns the
// number stored.
uint32_t LookUpProfileString(const char* text, size_t size,
                             ProfileReading reading, const char* section,
                             const char* key, const char* def, char* out,
                             uint32_t outSize);
