#include "textfile/batch_file.h"

#include <cstring>

#include "textfile/text_match.h"

namespace {

const char kCardRom[] = "HALCYREN.ROM";
const char kCardKeyword[] = "HALCYRENE";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Where the PATH entry around the occurrence at `at` begins. A ";" before it
// goes with the entry; after an "=" the entry starts at the next character.
// A PATH command written with a blank has neither before its first entry:
// that entry starts after the last blank or tab, which stays, and otherwise
// at the start of the line.
int EntryStart(const char* line, int at) {
  for (int i = at - 1; i >= 0; --i) {
    if (line[i] == ';') return i;
    if (line[i] == '=') return i + 1;
  }
  for (int i = at - 1; i >= 0; --i) {
    if (IsBlank(line[i])) return i + 1;
  }
  return 0;
}

// The ";" that ends the entry stays; so does the end of the line.
int EntryEnd(const char* line, int from) {
  while (line[from] != '\0' && line[from] != ';') ++from;
  return from;
}

void RemoveEntry(char* line, const char* word) {
  int at = FindUpperWord(line, word);
  if (at < 0) return;
  int start = EntryStart(line, at);
  int end = EntryEnd(line, at + static_cast<int>(strlen(word)));
  memmove(line + start, line + end, strlen(line + end) + 1);
}

}  // namespace

void RemovePathEntry(LineArray lines, int count, const char* word) {
  for (int i = 0; i < count; ++i) {
    if (FindUpperWord(lines[i], "PATH") >= 0) RemoveEntry(lines[i], word);
  }
}

void BlankMatchingLines(LineArray lines, int count, const char* word) {
  for (int i = 0; i < count; ++i) {
    if (FindUpperWord(lines[i], word) >= 0) lines[i][0] = '\0';
  }
}

// The PATH edit comes first, so that a PATH line keeps its other entries
// when it loses the card's; every other line naming the card goes whole.
void CleanBatchFile(const char* path) {
  int count = 0;
  LineArray lines = LoadTextLines(path, &count);
  if (lines == nullptr) return;
  RemovePathEntry(lines, count, kCardRom);
  BlankMatchingLines(lines, count, kCardRom);
  BlankMatchingLines(lines, count, kCardKeyword);
  SaveTextLines(lines, path, count);
  FreeTextLines(lines, count);
}
