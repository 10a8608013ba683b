#include "textfile/text_match.h"

#include "control/ascii_chars.h"

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
