// The names of numbered keys: the one form the program reads ("%d" after
// the section's prefix) and the forms that look like it but are never read.
#pragma once

#include <string>

// n when upper is exactly prefix followed by n >= 1 in decimal without sign
// or leading zeros ("FROM12"); 0 otherwise.
int ReadKeyNumber(const std::string& upper, const std::string& prefix);

// For a name that is not in the read form: true when it is prefix and a
// number written another way ("01", "0", "+1", "FROM 1"), with that number
// in *number (capped at 100000).
bool LooksLikeNumberedKey(const std::string& upper, const std::string& prefix,
                          long* number);
