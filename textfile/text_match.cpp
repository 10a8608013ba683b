#include "textfile/text_match.h"

char UpperAscii(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  return c;
}

bool StartsWithUpperWord(const char* text, const char* upperWord) {
  for (int i = 0; upperWord[i] != '\0'; ++i) {
    if (UpperAscii(text[i]) != upperWord[i]) return false;  // also at text's end
  }
  return true;
}

int FindUpperWord(const char* line, const char* upperWord) {
  for (int at = 0; line[at] != '\0'; ++at) {
    if (StartsWithUpperWord(line + at, upperWord)) return at;
  }
  return upperWord[0] == '\0' ? 0 : -1;
}
