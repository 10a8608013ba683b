// Letter-case-blind matching of upper-case words in the lines of edited
// files. The line is compared in place, so lines of any length need no
// upper-case copy and no memory.
#pragma once

// Offset of the first occurrence of upperWord (given in upper case) in line,
// ignoring the letter case of line; -1 when there is none.
int FindUpperWord(const char* line, const char* upperWord);

// True when text begins with upperWord, ignoring the letter case of text.
bool StartsWithUpperWord(const char* text, const char* upperWord);
