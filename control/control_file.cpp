#include "control/control_file.h"

#include <cstring>

#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "platform/platform.h"

// Written out by hand rather than with snprintf: in the Windows build the
// C library's formatted output would pull in MinGW's own printf, about 25 KiB
// of the program and a dozen imports it has no use for, for two "%d" keys.
void FormatListKey(char* out, const char* prefix, int n) {
  constexpr int kKeySize = 16;
  char digits[11];  // "4294967295" at most, for the magnitude
  int count = 0;
  unsigned magnitude = n < 0 ? 0u - static_cast<unsigned>(n)
                             : static_cast<unsigned>(n);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (n < 0) digits[count++] = '-';
  // The number always fits; a prefix too long for the rest is cut, so that
  // a key is never written past its 16 bytes.
  int length = 0;
  while (prefix[length] != '\0' && length < kKeySize - 1 - count) {
    out[length] = prefix[length];
    ++length;
  }
  while (count > 0) out[length++] = digits[--count];
  out[length] = '\0';
}

NumberedKeys PathListKeys(const char* controlPath, const char* section,
                          const char* prefix) {
  return {controlPath, section, prefix, kPathSize, OverLong::PassOver, true};
}

ListValue ReadControlKey(const NumberedKeys& keys, const char* key,
                         char* out) {
  // Whole up to kRawValueSize - 2 characters; longer values arrive cut but
  // still longer than any limit.
  char raw[kRawValueSize];
  plat::ReadProfileString(keys.section, key, "", raw, kRawValueSize,
                          keys.controlPath);
  raw[kRawValueSize - 1] = '\0';
  out[0] = '\0';
  if (raw[0] == '\0') return ListValue::End;
  size_t length = strlen(raw);
  if (length >= static_cast<size_t>(keys.size)) {
    if (keys.overLong == OverLong::PassOver) return ListValue::TooLong;
    length = keys.size - 1;
    raw[length] = '\0';
  }
  if (!keys.expandMacros) {
    memcpy(out, raw, length + 1);
    return ListValue::Ok;
  }
  if (!ExpandPathMacros(out, keys.size, raw)) {
    out[0] = '\0';  // never leave a cut path where a caller could use it
    return ListValue::TooLong;
  }
  return ListValue::Ok;
}

ListValue ReadNumberedKey(const NumberedKeys& keys, int n, char* out) {
  char key[16];
  FormatListKey(key, keys.prefix, n);
  return ReadControlKey(keys, key, out);
}

ListPathCursor StartListPaths(const char* controlPath, const char* section) {
  return {PathListKeys(controlPath, section, ""), 1};
}

NumberedKeys RegistryListKeys(const char* controlPath) {
  return {controlPath, "regdel", "", kPathSize, OverLong::PassOver, false};
}

ListPathCursor StartRegistryList(const char* controlPath) {
  return {RegistryListKeys(controlPath), 1};
}

CopyPairCursor StartCopyPairs(const NumberedKeys& sources,
                              const NumberedKeys& targets) {
  return {sources, targets, 1, ListValue::End, ListValue::End};
}

bool NextCopyPair(CopyPairCursor* cursor, char* source, char* target) {
  int n = cursor->next;
  cursor->to = ListValue::End;
  target[0] = '\0';
  cursor->from = ReadNumberedKey(cursor->sources, n, source);
  if (cursor->from == ListValue::End) return false;
  cursor->to = ReadNumberedKey(cursor->targets, n, target);
  if (cursor->to == ListValue::End) return false;
  ++cursor->next;
  return true;
}

bool NextListPath(ListPathCursor* cursor, char* path) {
  for (;;) {
    ListValue value = ReadNumberedKey(cursor->keys, cursor->next, path);
    if (value == ListValue::End) return false;
    ++cursor->next;
    if (value == ListValue::Ok) return true;
  }
}
