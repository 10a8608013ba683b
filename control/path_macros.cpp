#include "control/path_macros.h"

#include <cstring>

#include "control/path_helpers.h"
#include "platform/platform.h"

namespace {

// Copies as much of source as fits after the text already in dest; returns
// false when something was dropped.
bool AppendCut(char* dest, int size, const char* source) {
  size_t have = strlen(dest);
  size_t room = static_cast<size_t>(size) - 1 - have;
  size_t add = strlen(source);
  bool fits = add <= room;
  if (!fits) add = room;
  memcpy(dest + have, source, add);
  dest[have + add] = '\0';
  return fits;
}

// Joins the directory (null when the system could not tell it) and the rest
// of the value after its macro.
bool JoinExpansion(char* dest, int size, const char* directory,
                   const char* rest) {
  bool fits = directory != nullptr;
  if (fits) fits = AppendCut(dest, size, directory);
  return AppendCut(dest, size, rest) && fits;
}

bool IsMacroAt(const char* source) {
  return strncmp(source, "%WINDIR%", 8) == 0 ||
         strncmp(source, "%WINSYS%", 8) == 0;
}

}  // namespace

bool ExpandPathMacros(char* dest, int size, const char* source) {
  if (size <= 0) return false;
  dest[0] = '\0';
  if (!IsMacroAt(source)) return AppendCut(dest, size, source);
  // The directory is asked for into a full-size buffer so that its length
  // can be checked; the system reports the size it needs when it does not fit.
  char directory[kPathSize];
  uint32_t length = source[4] == 'D'
                        ? plat::WindowsDirectory(directory, sizeof directory)
                        : plat::SystemDirectory(directory, sizeof directory);
  // A directory the system cannot tell would leave the bare rest, such as
  // "\DOSSTART.BAT": another file, so that counts as a cut result too.
  bool told = length != 0 && length < sizeof directory;
  if (told) directory[length] = '\0';
  return JoinExpansion(dest, size, told ? directory : nullptr, source + 8);
}

bool ExpandPathMacrosWith(char* dest, int size, const char* source,
                          const char* windowsDir, const char* systemDir) {
  if (size <= 0) return false;
  dest[0] = '\0';
  if (!IsMacroAt(source)) return AppendCut(dest, size, source);
  return JoinExpansion(dest, size, source[4] == 'D' ? windowsDir : systemDir,
                       source + 8);
}

bool WindowsDirectoryPath(char* out, const char* name) {
  uint32_t length = plat::WindowsDirectory(out, kPathSize);
  if (length == 0 || length + 1 >= static_cast<uint32_t>(kPathSize)) {
    return false;
  }
  AddTrailingBackslash(out);
  return AppendPath(out, kPathSize, name);
}
