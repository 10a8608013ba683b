// The release tool's argument: a device node number as lowercase hexadecimal
// without prefix and without leading zeros ("0", "2f", "ffffffff"), the way
// "%lx" writes a 32-bit value. The uninstaller writes it, DEVEJECT.EXE reads
// it; both sides use this one pair of functions so that they always agree.
#pragma once

#include <cstdint>

// Digits of the longest argument and its terminator.
constexpr int kDevnodeArgSize = 9;

// Writes devnode into out (kDevnodeArgSize bytes). Returns the digit count.
int FormatDevnodeArg(uint32_t devnode, char* out);

// Reads an argument of 1 to 8 lowercase hexadecimal digits, nothing before
// or after them. Returns false (and leaves *devnode alone) for anything else:
// empty, too long, upper case, a prefix such as "0x", blanks, signs.
bool ParseDevnodeArg(const char* text, uint32_t* devnode);
