#include "textfile/wininit.h"

#include <cstdint>
#include <cstring>

#include "control/ascii_chars.h"
#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "platform/platform.h"
#include "textfile/line_file.h"
#include "textfile/text_match.h"

namespace {

const char kSectionHeader[] = "[rename]";
const char kDeleteKey[] = "NUL=";

// WININIT.INI in the Windows directory; false when the path does not fit.
bool WininitPath(char* out) {
  return WindowsDirectoryPath(out, "WININIT.INI");
}

// Real-mode DOS reads paths of at most 79 characters (80 bytes with the
// terminator).
constexpr size_t kLongestDosPath = 79;

// Characters that DOS forbids in names, besides blanks and control bytes.
const char kForbidden[] = "\"*+,./:;<=>?[\\]|";

// "X:\" and one DOS name after each backslash (1 to 8 characters, then
// optionally a dot and at most 3 more, none of them forbidden), at most
// kLongestDosPath characters: what the start-up can act on.
bool IsAbsoluteDosPath(const char* path) {
  size_t length = strlen(path);
  if (length > kLongestDosPath || length < 4 || !IsAsciiLetter(path[0]) ||
      path[1] != ':' || path[2] != '\\') {
    return false;
  }
  size_t base = 0;
  size_t extension = 0;
  bool dot = false;
  for (const char* at = path + 3;; ++at) {
    unsigned char c = static_cast<unsigned char>(*at);
    if (c == '\\' || c == '\0') {
      if (base == 0) return false;
      if (c == '\0') return true;
      base = extension = 0;
      dot = false;
    } else if (c == '.' && !dot && base > 0) {
      dot = true;
    } else if (c <= ' ' || memchr(kForbidden, c, sizeof kForbidden - 1) ||
               (dot ? ++extension > 3 : ++base > 8)) {
      return false;
    }
  }
}

// The short form of path into shortPath (kPathSize bytes) when it is an
// absolute 8.3 path; its length, or 0. The start-up that reads WININIT.INI
// runs under DOS, in a current directory of its own, and understands only
// 8.3 names: the entry is the short form of the path, which only a file
// that exists has.
uint32_t DosPath(const char* path, char* shortPath) {
  uint32_t length = plat::ShortPathName(path, shortPath, kPathSize);
  if (length == 0 || length >= static_cast<uint32_t>(kPathSize) ||
      !IsAbsoluteDosPath(shortPath)) {
    return 0;
  }
  return length;
}

// "NUL=" and the file's path as a heap line; null when the file has no
// absolute 8.3 path or memory runs out.
char* DeletionEntry(const char* path) {
  char shortPath[kPathSize];
  uint32_t length = DosPath(path, shortPath);
  if (length == 0) return nullptr;
  size_t keyLength = strlen(kDeleteKey);
  char* entry = static_cast<char*>(plat::Allocate(keyLength + length + 1));
  if (entry == nullptr) return nullptr;
  memcpy(entry, kDeleteKey, keyLength);
  memcpy(entry + keyLength, shortPath, length + 1);
  return entry;
}

// The first line that begins with "[rename]" in any letter case; -1 when
// there is none. Blanks before the bracket do not count.
int FindSection(LineArray lines, int count) {
  for (int i = 0; i < count; ++i) {
    if (StartsWithUpperWord(lines[i], "[RENAME]")) return i;
  }
  return -1;
}

// A new WININIT.INI holding the section and the one entry; false when it
// could not be written.
bool WriteNewFile(const char* iniPath, char* entry) {
  char header[sizeof(kSectionHeader)];
  memcpy(header, kSectionHeader, sizeof(kSectionHeader));
  char* lines[2] = {header, entry};
  return SaveTextLines(lines, iniPath, 2) == 0;
}

// The most lines AddRenameEntry adds: a new header and the entry.
constexpr int kRenameLinesAdded = 2;
static_assert(kRenameLinesAdded <= kSpareLineSlots,
              "the spare slots of a loaded file hold the lines added");

// Puts entry directly under the first [rename] header, or appends a new
// section at the end. Takes ownership of entry; the spare slots leave room
// for both added lines. Returns the new count, or -1 when out of memory.
int AddRenameEntry(LineArray lines, int count, char* entry) {
  int header = FindSection(lines, count);
  if (header >= 0) {
    for (int i = count; i > header + 1; --i) lines[i] = lines[i - 1];
    lines[header + 1] = entry;
    return count + 1;
  }
  char* newHeader = DuplicateLine(kSectionHeader);
  if (newHeader == nullptr) {
    plat::Release(entry);
    return -1;
  }
  lines[count] = newHeader;
  lines[count + 1] = entry;
  return count + kRenameLinesAdded;
}

}  // namespace

bool HasDosPath(const char* path) {
  char shortPath[kPathSize];
  return DosPath(path, shortPath) != 0;
}

bool ScheduleDeleteOnReboot(const char* path) {
  char iniPath[kPathSize];
  if (!WininitPath(iniPath)) return false;
  char* entry = DeletionEntry(path);
  if (entry == nullptr) return false;

  int count = 0;
  LineArray lines = LoadTextLines(iniPath, &count);
  if (lines == nullptr) {
    // A file that is there but cannot be read holds entries of other
    // programs: keep it rather than write over it.
    bool written = plat::FileAttributes(iniPath) == plat::kInvalidAttributes &&
                   WriteNewFile(iniPath, entry);
    plat::Release(entry);
    return written;
  }
  int newCount = AddRenameEntry(lines, count, entry);
  if (newCount < 0) {
    FreeTextLines(lines, count);
    return false;
  }
  bool written = SaveTextLines(lines, iniPath, newCount) == 0;
  FreeTextLines(lines, newCount);
  return written;
}
