#include "textfile/dos_words.h"

#include <cstring>

#include "control/ascii_chars.h"
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "platform/platform.h"
#include "textfile/text_match.h"

namespace {

constexpr size_t kShortestWord = 4;

// One after another, each ended by its NUL; the list by an empty name.
const char kCommandNames[] = "SET\0PATH\0REM\0ECHO\0DEVICE\0LH\0LOADHIGH\0";

// Letters of the code page count as parts of a name too.
bool InName(char c) {
  return IsAsciiLetter(c) || (c >= '0' && c <= '9') ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool IsCommandName(const char* name, size_t length) {
  for (const char* command = kCommandNames; *command != '\0';
       command += strlen(command) + 1) {
    if (strlen(command) == length && StartsWithUpperWord(name, command)) {
      return true;
    }
  }
  return false;
}

bool OnlyCommandNames(const char* word) {
  size_t at = 0;
  while (word[at] != '\0') {
    if (!InName(word[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (InName(word[end])) ++end;
    if (!IsCommandName(word + at, end - at)) return false;
    at = end;
  }
  return true;
}

// Each place as a line names it, with a backslash after it. DOS itself
// lives on the boot drive, where AUTOEXEC.BAT is.
bool NamesSystemFolder(const char* upperWord) {
  char place[kPathSize];
  if (!WindowsDirectoryPath(place, "COMMAND\\") ||
      FindUpperWord(place, upperWord) >= 0) {
    return true;
  }
  uint32_t length = plat::SystemDirectory(place, kPathSize);
  if (length == 0 || length >= static_cast<uint32_t>(kPathSize)) return true;
  place[length] = '\0';
  return !AppendName(place, kPathSize, "") ||
         FindUpperWord(place, upperWord) >= 0 ||
         FindUpperWord("C:\\DOS\\", upperWord) >= 0;
}

DosWord JudgeDosWord(const char* upperWord) {
  if (strlen(upperWord) < kShortestWord) return DosWord::TooShort;
  if (NamesSystemFolder(upperWord)) return DosWord::SystemFolder;
  if (OnlyCommandNames(upperWord)) return DosWord::CommandName;
  return DosWord::Used;
}

}  // namespace

DosWord ReadDosWord(const char* controlPath, int n, char* word) {
  const NumberedKeys words = {controlPath, "dosclean", "", kPathSize,
                              OverLong::PassOver, false};
  ListValue value = ReadNumberedKey(words, n, word);
  if (value == ListValue::End) return DosWord::End;
  if (value == ListValue::TooLong) return DosWord::TooLong;
  for (char* c = word; *c != '\0'; ++c) *c = UpperAscii(*c);
  return JudgeDosWord(word);
}
