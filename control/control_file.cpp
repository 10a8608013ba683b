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

namespace {

// The value of key, whole up to kRawValueSize - 2 characters, into raw
// (kRawValueSize bytes); longer values arrive cut but still longer than
// any limit.
void ReadRawValue(const char* controlPath, const char* section,
                  const char* key, char* raw) {
  plat::ReadProfileString(section, key, "", raw, kRawValueSize, controlPath);
  raw[kRawValueSize - 1] = '\0';
}

}  // namespace

int ReadCutValue(const char* controlPath, const char* section,
                 const char* key, char* out, int size) {
  char raw[kRawValueSize];
  ReadRawValue(controlPath, section, key, raw);
  int length = 0;
  while (length < size - 1 && raw[length] != '\0') {
    out[length] = raw[length];
    ++length;
  }
  out[length] = '\0';
  return length;
}

ListValue ReadListValue(const char* controlPath, const char* section,
                        const char* key, char* out) {
  char raw[kRawValueSize];
  ReadRawValue(controlPath, section, key, raw);
  out[0] = '\0';
  if (raw[0] == '\0') return ListValue::End;
  if (!CopyPath(out, kPathSize, raw)) return ListValue::TooLong;
  return ListValue::Ok;
}

ListValue ReadListPath(const char* controlPath, const char* section,
                       const char* key, char* out) {
  char value[kPathSize];
  ListValue result = ReadListValue(controlPath, section, key, value);
  if (result != ListValue::Ok) {
    out[0] = '\0';
    return result;
  }
  if (!ExpandPathMacros(out, kPathSize, value)) {
    out[0] = '\0';  // never leave a cut path where a caller could use it
    return ListValue::TooLong;
  }
  return ListValue::Ok;
}

void ForEachListPath(const char* controlPath, const char* section,
                     void (*act)(const char* path, void* context),
                     void* context) {
  for (int n = 1;; ++n) {
    char key[16];
    char path[kPathSize];
    FormatListKey(key, "", n);
    ListValue value = ReadListPath(controlPath, section, key, path);
    if (value == ListValue::End) return;
    if (value == ListValue::Ok) act(path, context);
  }
}
