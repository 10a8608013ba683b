#include "textfile/batch_file.h"

#include <cstring>

#include "control/ascii_chars.h"
#include "control/not_done.h"
#include "control/path_helpers.h"
#include "textfile/dos_words.h"
#include "textfile/text_match.h"

namespace {

const char kCardRom[] = "HALCYREN.ROM";
const char kCardKeyword[] = "HALCYRENE";

// DOS path entries hold no blanks: an entry is a run of characters
// between these.
bool SeparatesEntries(char c) { return c == ';' || c == '=' || IsSpaceOrTab(c); }

// The word PATH at `at` (not the end of a longer name such as MYPATH),
// followed by "=" or a blank: the start of a PATH list, after SET, IF ...,
// REM, "@" or nothing.
bool OpensPathList(const char* line, int at) {
  if (at > 0 && !IsSpaceOrTab(line[at - 1]) && line[at - 1] != '@') return false;
  if (!StartsWithUpperWord(line + at, "PATH")) return false;
  return line[at + 4] == '=' || IsSpaceOrTab(line[at + 4]);
}

int FirstPathList(const char* line) {
  for (int at = 0; line[at] != '\0'; ++at) {
    if (OpensPathList(line, at)) return at;
  }
  return -1;
}

// The text before `end` is PATH followed by "=" or blanks (blanks around
// the "=" allowed): an entry at `end` opens a PATH list.
bool OpensListAfterPath(const char* line, int end) {
  int i = end;
  while (i > 0 && IsSpaceOrTab(line[i - 1])) --i;
  if (i > 0 && line[i - 1] == '=') --i;
  while (i > 0 && IsSpaceOrTab(line[i - 1])) --i;
  return i < end && i >= 4 && OpensPathList(line, i - 4);
}

bool EntryHolds(const char* entry, int length, const char* word,
                int wordLength) {
  for (int at = 0; at + wordLength <= length; ++at) {
    if (StartsWithUpperWord(entry + at, word)) return true;
  }
  return false;
}

// Removes the entries holding word from the PATH lists of line, in one
// pass that keeps the edited text in front of what is still to be read.
// An entry goes with the ";" before it when that ";" follows the start of
// a PATH list; an entry that opens a PATH list goes with the ";" after it
// (a list that starts with ";" is refused by some COMMAND.COM versions).
// Any other entry stays, and its line goes whole later. The edits never
// reach back before the line's first PATH list, so a line without one is
// left as it is.
void RemoveEntries(char* line, const char* word, int wordLength) {
  const int firstList = FirstPathList(line);
  if (firstList < 0) return;
  int kept = 0;  // the edited text is line[0, kept)
  int next = 0;  // the text still to be read starts here
  while (line[next] != '\0') {
    int end = next;
    while (line[end] != '\0' && !SeparatesEntries(line[end])) ++end;
    if (end == next) {
      line[kept++] = line[next++];
      continue;
    }
    if (EntryHolds(line + next, end - next, word, wordLength)) {
      if (kept > 0 && line[kept - 1] == ';' && firstList + 4 < kept - 1) {
        --kept;
        next = end;
        continue;
      }
      if (OpensListAfterPath(line, kept)) {
        next = line[end] == ';' ? end + 1 : end;
        continue;
      }
    }
    memmove(line + kept, line + next, static_cast<size_t>(end - next));
    kept += end - next;
    next = end;
  }
  line[kept] = '\0';
}

}  // namespace

void RemovePathEntry(LineArray lines, int count, const char* word) {
  const int wordLength = static_cast<int>(strlen(word));
  if (wordLength == 0) return;
  for (int i = 0; i < count; ++i) RemoveEntries(lines[i], word, wordLength);
}

void BlankMatchingLines(LineArray lines, int count, const char* word) {
  for (int i = 0; i < count; ++i) {
    if (FindUpperWord(lines[i], word) >= 0) lines[i][0] = '\0';
  }
}

namespace {

size_t TextLength(LineArray lines, int count) {
  size_t length = 0;
  for (int i = 0; i < count; ++i) length += strlen(lines[i]);
  return length;
}

// Each usable [dosclean] word as the card's ROM: its PATH entries, then the
// lines that still hold it.
void CleanDosWords(LineArray lines, int count, const char* controlPath) {
  char word[kPathSize];
  for (int n = 1;; ++n) {
    DosWord use = ReadDosWord(controlPath, n, word);
    if (use == DosWord::End) return;
    if (use == DosWord::Used) {
      RemovePathEntry(lines, count, word);
      BlankMatchingLines(lines, count, word);
    }
  }
}

}  // namespace

// The PATH edit comes first, so that a PATH line keeps its other entries
// when it loses the card's; every other line naming the card (a program
// started with the ROM, say, which the uninstall deletes) goes whole. The
// control file's words come after the built-in ones, which so act exactly
// as they do without them. The editors only ever shorten lines: a file
// whose text kept its length needed no edit, and is not reported when it
// cannot be written.
void CleanBatchFile(const char* path, const char* controlPath,
                    NotDone* notDone) {
  int count = 0;
  LineArray lines = LoadTextLines(path, &count);
  if (lines == nullptr) {
    if (IsExistingFile(path)) {
      NoteNotDone(notDone, NotDoneKind::NotChanged, path);
    }
    return;
  }
  const size_t before = TextLength(lines, count);
  RemovePathEntry(lines, count, kCardRom);
  BlankMatchingLines(lines, count, kCardRom);
  BlankMatchingLines(lines, count, kCardKeyword);
  CleanDosWords(lines, count, controlPath);
  const bool edited = TextLength(lines, count) != before;
  if (SaveTextLines(lines, path, count) != 0 && edited) {
    NoteNotDone(notDone, NotDoneKind::NotChanged, path);
  }
  FreeTextLines(lines, count);
}
