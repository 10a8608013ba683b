#include "platform/search/search_match.h"

#include <cstddef>
#include <cstring>

#include "platform/platform.h"

namespace {

bool Same(char a, char b) { return plat::UpperAscii(a) == plat::UpperAscii(b); }

// The glob over the first patternLength characters of pattern.
bool Glob(const char* p, size_t patternLength, const char* n) {
  size_t pi = 0, ni = 0;
  size_t nameLength = strlen(n);
  bool star = false;
  size_t starP = 0, starN = 0;
  while (ni < nameLength) {
    if (pi < patternLength && (p[pi] == '?' || Same(p[pi], n[ni]))) {
      ++pi;
      ++ni;
    } else if (pi < patternLength && p[pi] == '*') {
      star = true;
      starP = pi++;
      starN = ni;
    } else if (star) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < patternLength && (p[pi] == '*' || p[pi] == '.')) ++pi;
  return pi == patternLength;
}

bool AllDots(const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != '.') return false;
  }
  return true;
}

bool HasExtension(const char* name) {
  size_t length = strlen(name);
  return !AllDots(name, length) && memchr(name, '.', length) != nullptr;
}

}  // namespace

bool SearchMatches(const char* pattern, const char* name) {
  size_t length = strlen(pattern);
  if (length > 0 && pattern[length - 1] == '.' && !AllDots(pattern, length)) {
    size_t stem = length;
    while (pattern[stem - 1] == '.') --stem;
    bool stemHasDot = memchr(pattern, '.', stem) != nullptr;
    return (stemHasDot || !HasExtension(name)) && Glob(pattern, stem, name);
  }
  return Glob(pattern, length, name);
}
