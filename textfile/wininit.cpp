#include "textfile/wininit.h"

#include <cstdint>
#include <cstring>

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

// "NUL=" and the path as a heap line. The start-up that reads WININIT.INI
// runs under DOS and understands only 8.3 names, so an existing file is
// named by its short form; a path without one is written as given.
char* DeletionEntry(const char* path) {
  char shortPath[kPathSize];
  const char* name = path;
  if (plat::FileAttributes(path) != plat::kInvalidAttributes) {
    uint32_t length = plat::ShortPathName(path, shortPath, kPathSize);
    if (length > 0 && length < static_cast<uint32_t>(kPathSize)) {
      name = shortPath;
    }
  }
  size_t keyLength = strlen(kDeleteKey);
  size_t nameLength = strlen(name);
  char* entry = static_cast<char*>(plat::Allocate(keyLength + nameLength + 1));
  if (entry == nullptr) return nullptr;
  memcpy(entry, kDeleteKey, keyLength);
  memcpy(entry + keyLength, name, nameLength + 1);
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

// A new WININIT.INI holding the section and the one entry.
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
