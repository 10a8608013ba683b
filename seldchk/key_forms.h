// The names of numbered keys: the one form the program reads ("%d" after
// the section's prefix) and the forms that look like it but are never read.
#pragma once

#include <cstddef>

// n when name is exactly prefix (letter case ignored) followed by n >= 1 as
// "%d" writes it (no sign, no leading zeros, at most 2147483647): "FROM12".
// 0 otherwise.
long ReadKeyNumber(const char* name, size_t length, const char* prefix);

// How a name looks that is prefix and a number written another way ("01",
// "0", "+1", "FROM 1"): its number as "%d" would write it into digits
// (kKeyDigitsSize bytes; longer numbers are cut there), and whether it is
// zero or negative.
constexpr size_t kKeyDigitsSize = 32;
enum class KeyLook { NotNumbered, BelowOne, Number };
KeyLook LookOfKey(const char* name, size_t length, const char* prefix,
                  char* digits);
