#include "seldchk/key_forms.h"

#include <cstring>

#include "platform/platform.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Finds prefix at name's start, letter case ignored and, with skipBlanks,
// blanks before each of its letters too: true with *at where the rest
// begins.
bool SkipPrefix(const char* name, size_t length, const char* prefix,
                bool skipBlanks, size_t* at) {
  size_t i = 0;
  for (const char* p = prefix; *p != '\0'; ++p) {
    while (skipBlanks && i < length && IsBlank(name[i])) ++i;
    if (i >= length || plat::UpperAscii(name[i]) != *p) return false;
    ++i;
  }
  *at = i;
  return true;
}

}  // namespace

long ReadKeyNumber(const char* name, size_t length, const char* prefix) {
  size_t at = 0;
  if (!SkipPrefix(name, length, prefix, false, &at)) return 0;
  if (at >= length || name[at] == '0' || length - at > 10) return 0;
  long long n = 0;
  for (; at < length; ++at) {
    if (!IsDigit(name[at])) return 0;
    n = n * 10 + (name[at] - '0');
  }
  return n <= 2147483647LL ? static_cast<long>(n) : 0;
}

KeyLook LookOfKey(const char* name, size_t length, const char* prefix,
                  char* digits) {
  size_t at = 0;
  if (!SkipPrefix(name, length, prefix, true, &at)) return KeyLook::NotNumbered;
  while (at < length && IsBlank(name[at])) ++at;
  bool negative = false;
  if (at < length && (name[at] == '+' || name[at] == '-')) {
    negative = name[at] == '-';
    ++at;
  }
  size_t count = 0;
  bool any = false;
  for (; at < length; ++at) {
    if (IsBlank(name[at])) continue;
    if (!IsDigit(name[at])) return KeyLook::NotNumbered;
    any = true;
    if (count == 0 && name[at] == '0') continue;  // a leading zero
    if (count + 1 < kKeyDigitsSize) digits[count++] = name[at];
  }
  digits[count] = '\0';
  if (!any) return KeyLook::NotNumbered;
  return negative || count == 0 ? KeyLook::BelowOne : KeyLook::Number;
}
