#include "textfile/batch_file.h"

#include <cstring>

#include "textfile/text_match.h"

namespace {

const char kCardRom[] = "HALCYREN.ROM";
const char kCardKeyword[] = "HALCYRENE";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// DOS path entries hold no blanks: an entry runs between these.
bool SeparatesEntries(char c) { return c == ';' || c == '=' || IsBlank(c); }

// The word PATH at `at` (not the end of a longer name such as MYPATH),
// followed by "=" or a blank: the start of a PATH list, after SET, IF ...,
// REM, "@" or nothing.
bool OpensPathList(const char* line, int at) {
  if (at > 0 && !IsBlank(line[at - 1]) && line[at - 1] != '@') return false;
  if (!StartsWithUpperWord(line + at, "PATH")) return false;
  return line[at + 4] == '=' || IsBlank(line[at + 4]);
}

// The text before `start` is PATH followed by "=" or blanks (blanks around
// the "=" allowed): the entry at `start` opens a PATH list.
bool OpensListAfterPath(const char* line, int start) {
  int i = start;
  while (i > 0 && IsBlank(line[i - 1])) --i;
  if (i > 0 && line[i - 1] == '=') --i;
  while (i > 0 && IsBlank(line[i - 1])) --i;
  return i < start && i >= 4 && OpensPathList(line, i - 4);
}

// A PATH list opens somewhere before `limit`, so the ";" at limit
// separates entries of a PATH list.
bool PathListBefore(const char* line, int limit) {
  for (int at = 0; at + 4 < limit; ++at) {
    if (OpensPathList(line, at)) return true;
  }
  return false;
}

void Cut(char* line, int start, int end) {
  memmove(line + start, line + end, strlen(line + end) + 1);
}

// Removes the entry around the occurrence of a word at `at` when the entry
// belongs to a PATH list: with the ";" before it, or, when it opens the
// list, with the ";" after it (a PATH list that starts with ";" is refused
// by some COMMAND.COM versions). Any other text is left for the line to go
// whole. Returns where to look for the next occurrence.
int RemoveEntryAt(char* line, int at, int wordLength) {
  int start = at;
  while (start > 0 && !SeparatesEntries(line[start - 1])) --start;
  int end = at + wordLength;
  while (line[end] != '\0' && line[end] != ';' && !IsBlank(line[end])) ++end;
  if (start > 0 && line[start - 1] == ';' && PathListBefore(line, start - 1)) {
    Cut(line, start - 1, end);
    return start - 1;
  }
  if (OpensListAfterPath(line, start)) {
    if (line[end] == ';') ++end;
    Cut(line, start, end);
    return start;
  }
  return at + 1;
}

}  // namespace

void RemovePathEntry(LineArray lines, int count, const char* word) {
  const int wordLength = static_cast<int>(strlen(word));
  if (wordLength == 0) return;
  for (int i = 0; i < count; ++i) {
    for (int from = 0;;) {
      int found = FindUpperWord(lines[i] + from, word);
      if (found < 0) break;
      from = RemoveEntryAt(lines[i], from + found, wordLength);
    }
  }
}

void BlankMatchingLines(LineArray lines, int count, const char* word) {
  for (int i = 0; i < count; ++i) {
    if (FindUpperWord(lines[i], word) >= 0) lines[i][0] = '\0';
  }
}

// The PATH edit comes first, so that a PATH line keeps its other entries
// when it loses the card's; every other line naming the card (a program
// started with the ROM, say, which the uninstall deletes) goes whole.
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
