#include "control/path_helpers.h"

#include <cstring>

#include "control/ascii_chars.h"

int AddTrailingBackslash(char* path) {
  size_t length = strlen(path);
  if (length == 0 || path[length - 1] != '\\') {
    path[length++] = '\\';
    path[length] = '\0';
  }
  return static_cast<int>(length);
}

int RemoveTrailingBackslash(char* path) {
  size_t length = strlen(path);
  if (length > 0 && path[length - 1] == '\\') path[--length] = '\0';
  return static_cast<int>(length);
}

bool CopyPath(char* dest, int size, const char* source) {
  size_t length = strlen(source);
  if (size <= 0) return false;
  if (length >= static_cast<size_t>(size)) {
    dest[0] = '\0';
    return false;
  }
  memcpy(dest, source, length + 1);
  return true;
}

bool AppendPath(char* dest, int size, const char* tail) {
  size_t have = strlen(dest);
  size_t add = strlen(tail);
  if (have + add >= static_cast<size_t>(size)) return false;
  memcpy(dest + have, tail, add + 1);
  return true;
}

bool AppendName(char* dest, int size, const char* name) {
  size_t have = strlen(dest);
  size_t slash = have == 0 || dest[have - 1] != '\\' ? 1 : 0;
  if (have + slash + strlen(name) >= static_cast<size_t>(size)) return false;
  if (slash != 0) dest[have++] = '\\';
  strcpy(dest + have, name);
  return true;
}

bool SameTextAnyCase(const char* a, const char* b) {
  while (*a != '\0' && UpperAscii(*a) == UpperAscii(*b)) {
    ++a;
    ++b;
  }
  return *a == *b;
}
