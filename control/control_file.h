// Reading the control file: numbered key lists and their values.
//
// Every list section is numbered from 1 upward ("%d", or "FROM%d"/"TO%d" in
// [copy]) and ends at the first key that is missing or empty.
#pragma once

enum class ListValue {
  End,      // missing or empty: the list ends here
  Ok,       // value (and expansion) stored whole
  TooLong,  // longer than 255 characters, or its expansion was: pass it over
};

// Formats the key name prefix + n ("%d") into out (at least 16 bytes).
void FormatListKey(char* out, const char* prefix, int n);

// Every value is first read into a buffer far larger than any limit. The
// system's reader drops a value's outer quotes and, when a quoted value just
// fills the buffer, its last character too: read into a buffer one byte
// larger than its limit, a quoted value one character too long arrives
// within the limit and looks whole, and a quoted value that fits loses a
// character. Read into this buffer, a value over any limit still arrives
// over it.
constexpr int kRawValueSize = 1024;

// Reads key of section from the control file into out (size bytes, size >=
// 1): the value's first size - 1 characters, the cut made on the whole
// value. Returns the length stored. Message pieces and [pnpids] ids are
// read so.
int ReadCutValue(const char* controlPath, const char* section,
                 const char* key, char* out, int size);

// Reads key of section from the control file into out (kPathSize bytes).
// A value longer than 255 characters is reported as TooLong (out is then
// empty).
ListValue ReadListValue(const char* controlPath, const char* section,
                        const char* key, char* out);

// ReadListValue, then ExpandPathMacros into out (kPathSize bytes).
ListValue ReadListPath(const char* controlPath, const char* section,
                       const char* key, char* out);

// Calls act with each expanded path of the numbered list section (keys "1",
// "2", ...), in key order, up to the first missing or empty key. Values that
// were cut (TooLong) are passed over: a cut path names another file.
void ForEachListPath(const char* controlPath, const char* section,
                     void (*act)(const char* path, void* context),
                     void* context);
