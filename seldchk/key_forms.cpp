#include "seldchk/key_forms.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int ReadKeyNumber(const std::string& upper, const std::string& prefix) {
  if (upper.compare(0, prefix.size(), prefix) != 0) return 0;
  std::string digits = upper.substr(prefix.size());
  if (digits.empty() || digits.size() > 9 || digits[0] == '0') return 0;
  int n = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

bool LooksLikeNumberedKey(const std::string& upper, const std::string& prefix,
                          long* number) {
  std::string squeezed;
  for (char c : upper) {
    if (c != ' ' && c != '\t') squeezed += c;
  }
  if (squeezed.compare(0, prefix.size(), prefix) != 0) return false;
  size_t pos = prefix.size();
  bool negative = false;
  if (pos < squeezed.size() && (squeezed[pos] == '+' || squeezed[pos] == '-')) {
    negative = squeezed[pos] == '-';
    ++pos;
  }
  if (pos >= squeezed.size()) return false;
  long n = 0;
  for (; pos < squeezed.size(); ++pos) {
    if (!IsDigit(squeezed[pos])) return false;
    if (n < 100000) n = n * 10 + (squeezed[pos] - '0');
  }
  *number = negative ? -n : n;
  return true;
}
