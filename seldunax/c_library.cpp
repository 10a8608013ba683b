// The C library functions that SELDUNAX.EXE and SELDCHK.EXE use, or that
// the compiler calls for copies of larger objects, for programs linked
// without the C run-time DLL (see main.cpp). Compiled with -fno-builtin and
// without loop-to-call transformations, so that none of them calls itself.
#include <cstddef>

extern "C" {

void* memcpy(void* dest, const void* src, size_t n) {
  char* d = static_cast<char*>(dest);
  const char* s = static_cast<const char*>(src);
  while (n-- > 0) *d++ = *s++;
  return dest;
}

void* memmove(void* dest, const void* src, size_t n) {
  char* d = static_cast<char*>(dest);
  const char* s = static_cast<const char*>(src);
  if (d < s) {
    while (n-- > 0) *d++ = *s++;
  } else {
    // Backwards, so that an overlapping source is read before it is
    // overwritten.
    d += n;
    s += n;
    while (n-- > 0) *--d = *--s;
  }
  return dest;
}

void* memset(void* dest, int c, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(dest);
  while (n-- > 0) *d++ = static_cast<unsigned char>(c);
  return dest;
}

void* memchr(const void* src, int c, size_t n) {
  const unsigned char* s = static_cast<const unsigned char*>(src);
  for (; n > 0; --n, ++s) {
    if (*s == static_cast<unsigned char>(c)) return const_cast<unsigned char*>(s);
  }
  return nullptr;
}

size_t strlen(const char* s) {
  size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

int strcmp(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

int strncmp(const char* a, const char* b, size_t n) {
  for (; n > 0; --n, ++a, ++b) {
    if (*a != *b) {
      return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
    }
    if (*a == '\0') return 0;
  }
  return 0;
}

char* strcpy(char* dest, const char* src) {
  char* d = dest;
  while ((*d++ = *src++) != '\0') {
  }
  return dest;
}

char* strchr(const char* s, int c) {
  for (;; ++s) {
    if (*s == static_cast<char>(c)) return const_cast<char*>(s);
    if (*s == '\0') return nullptr;
  }
}

char* strrchr(const char* s, int c) {
  const char* last = nullptr;
  do {
    if (*s == static_cast<char>(c)) last = s;
  } while (*s++ != '\0');
  return const_cast<char*>(last);
}

}  // extern "C"
