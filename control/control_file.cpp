#include "control/control_file.h"

#include <cstdio>
#include <cstring>

#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "platform/platform.h"

void FormatListKey(char* out, const char* prefix, int n) {
  snprintf(out, 16, "%s%d", prefix, n);
}

ListValue ReadListValue(const char* controlPath, const char* section,
                        const char* key, char* out) {
  // One byte more than a path may hold tells a cut value from a whole one.
  char value[kPathSize + 1];
  plat::ReadProfileString(section, key, "", value, sizeof value, controlPath);
  value[sizeof value - 1] = '\0';
  out[0] = '\0';
  if (value[0] == '\0') return ListValue::End;
  if (!CopyPath(out, kPathSize, value)) return ListValue::TooLong;
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
