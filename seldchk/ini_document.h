// A control file's lines as a reading of the system's private-profile
// reader sees them (by the rules of platform/profile), each with the line
// it stands on, so that a finding can name its line.
#pragma once

#include <cstddef>

#include "platform/profile/profile_reader.h"

struct DocLine {
  ProfileLine profile;  // its kind, number, name and value in the text
  // A key: an earlier line of its section has the same name. A section: an
  // earlier section has the same name, so no look-up searches this one.
  bool shadowed;
};

struct IniDocument {
  const char* text;  // the text as the reading takes it (ProfileText)
  size_t size;
  ProfileReading reading;
  DocLine* lines;  // every line that is not blank, in file order
  size_t count;
  size_t capacity;
};

// Reads text into doc, whose lines live on the heap; false when the heap
// has no room for them.
bool ReadDocument(const char* text, size_t size, ProfileReading reading,
                  IniDocument* doc);
void ReleaseDocument(IniDocument* doc);

// The name of line as its reading matches it.
ProfileSpan NameOf(const DocLine& line);
bool IsNamed(const IniDocument& doc, const DocLine& line, const char* name);

// The section that a look-up of name searches (the first of that name), or
// null.
const DocLine* FindSection(const IniDocument& doc, const char* name);

// The keys of the section whose line is section, one after another:
//   for (const DocLine* key = FirstKey(doc, s); key; key = NextKey(doc, key))
const DocLine* FirstKey(const IniDocument& doc, const DocLine* section);
const DocLine* NextKey(const IniDocument& doc, const DocLine* key);

// The first section line, or the first key line of section, with line's
// name: the one a look-up finds where line is given again.
const DocLine* FirstNamedLike(const IniDocument& doc, const DocLine* section,
                              const DocLine& line);

// The line that decides a look-up of key in section (the first of that
// name, with or without "="), or null.
const DocLine* FindKey(const IniDocument& doc, const DocLine* section,
                       const char* key);

// The value the reader gives for a key's line, whole: empty for a line
// without "=", cut at a NUL byte, outer quotes dropped.
ProfileValue ValueOf(const IniDocument& doc, const DocLine& key);

// What follows the "=" of a key's line, blanks and all, up to its end.
ProfileSpan RawValueOf(const IniDocument& doc, const DocLine& key);

// The line number of key in section, 0 when there is none.
int LineOf(const IniDocument& doc, const char* section, const char* key);
