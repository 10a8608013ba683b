#include "pnp/devnode_arg.h"

// Kept free of the C library so that the release tool, which compiles this
// file too, stays small.

int FormatDevnodeArg(uint32_t devnode, char* out) {
  static const char kDigits[] = "0123456789abcdef";
  char reversed[8];
  int count = 0;
  do {
    reversed[count++] = kDigits[devnode & 0xF];
    devnode >>= 4;
  } while (devnode != 0);
  for (int i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  out[count] = '\0';
  return count;
}

static int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ParseDevnodeArg(const char* text, uint32_t* devnode) {
  uint32_t value = 0;
  int count = 0;
  for (; text[count] != '\0'; ++count) {
    int digit = HexDigitValue(text[count]);
    if (digit < 0 || count == 8) return false;
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  if (count == 0) return false;
  *devnode = value;
  return true;
}
