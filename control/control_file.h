// Reading the control file: one value by key, and numbered key lists.
//
// Every list section is numbered from 1 upward (keys "1", "2", ..., or
// "FROM1"/"TO1", ... in [copy]) and ends at the first key that is missing or
// empty. Whoever reads the control file (the program, or a tool that checks
// control files) reads it through here, so that all read a value alike.
#pragma once

enum class ListValue {
  End,      // missing or empty: the list ends here
  Ok,       // value (and expansion) stored, whole or cut as asked
  TooLong,  // over the buffer, or its expansion was: pass it over
};

// What a value longer than the caller's buffer (size - 1 characters) does.
enum class OverLong {
  Cut,       // its first size - 1 characters are stored (message pieces, ids)
  PassOver,  // TooLong, and nothing is stored: a cut path names another file
};

// A list of numbered keys of one section, and how each value is read.
struct NumberedKeys {
  const char* controlPath;
  const char* section;
  const char* prefix;  // key name before the number: "", "FROM" or "TO"
  int size;            // the caller's buffer in bytes (>= 1)
  OverLong overLong;
  // A path macro at a value's start expanded (ExpandPathMacros); an
  // expansion longer than size - 1 characters, or one whose directory
  // cannot be told, is TooLong.
  bool expandMacros;
};

// The path lists [copy], [delete], [multdel], [deltree]: kPathSize bytes,
// over-long values passed over, macros expanded.
NumberedKeys PathListKeys(const char* controlPath, const char* section,
                          const char* prefix);

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

// Reads key (any name) of keys.section as keys says into out (keys.size
// bytes). out is empty unless the result is Ok.
ListValue ReadControlKey(const NumberedKeys& keys, const char* key, char* out);

// Reads key number n of the list (prefix + n) into out (keys.size bytes).
ListValue ReadNumberedKey(const NumberedKeys& keys, int n, char* out);

// Walks a path list: keys "1", "2", ... up to the first missing or empty
// one, passing over values that were too long (a cut path names another
// file):
//
//   ListPathCursor cursor = StartListPaths(controlPath, "deltree");
//   while (NextListPath(&cursor, path)) ...
struct ListPathCursor {
  NumberedKeys keys;
  int next;  // number of the key read next
};

ListPathCursor StartListPaths(const char* controlPath, const char* section);

// [regdel]: registry keys and values, read as the path lists are but with
// no macros (a key is no path): kPathSize bytes, over-long values passed
// over.
NumberedKeys RegistryListKeys(const char* controlPath);
ListPathCursor StartRegistryList(const char* controlPath);

// The next path of the list into path (cursor->keys.size bytes); false at
// the end, with cursor->next the number of the key that ended the list.
bool NextListPath(ListPathCursor* cursor, char* path);

// Walks [copy]: pairs FROMn and TOn up to the first FROMn that is missing or
// empty, or the first TOn that is missing or empty after its FROMn (an
// over-long FROMn does not end the list: its TOn is read either way):
//
//   CopyPairCursor cursor = StartCopyPairs(
//       PathListKeys(controlPath, "copy", "FROM"),
//       PathListKeys(controlPath, "copy", "TO"));
//   while (NextCopyPair(&cursor, source, target)) {
//     if (cursor.from == ListValue::Ok && cursor.to == ListValue::Ok) ...
//   }
struct CopyPairCursor {
  NumberedKeys sources;  // FROMn
  NumberedKeys targets;  // TOn
  int next;              // number of the pair read next
  // How the last pair's values were read; at the end of the list, the one
  // that is End ended it (from, or else to).
  ListValue from;
  ListValue to;
};

CopyPairCursor StartCopyPairs(const NumberedKeys& sources,
                              const NumberedKeys& targets);

// Reads the next pair into source and target (sources.size and
// targets.size bytes); false at the end of the list.
bool NextCopyPair(CopyPairCursor* cursor, char* source, char* target);
