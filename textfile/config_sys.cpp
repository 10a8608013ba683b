#include "textfile/config_sys.h"

#include <cstdint>
#include <cstring>

#include "control/ascii_chars.h"
#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "platform/platform.h"
#include "textfile/text_match.h"

namespace {

const char kSavedEmm386[] = "C:\\VANTORIS\\DOS\\EMM386.EXE";
const char kConfigSys[] = "C:\\CONFIG.SYS";
const char kEmm386[] = "EMM386.EXE";
const char kDeviceKey[] = "DEVICE=";

// The Windows directory's EMM386.EXE into out (kPathSize bytes); false when
// the directory is not known or the path does not fit.
bool WindowsEmm386(char* out) { return WindowsDirectoryPath(out, kEmm386); }

// After leading blanks, DEVICE or DEVICEHIGH, a "?" or not (DEVICE?= asks
// at every start whether to load the driver), then a blank or "=".
// Comments ("REM", ";") and menu items that merely name the driver do not
// load anything and are left alone.
bool LoadsDriver(const char* line) {
  while (IsSpaceOrTab(*line)) ++line;
  if (!StartsWithUpperWord(line, "DEVICE")) return false;
  line += 6;
  if (StartsWithUpperWord(line, "HIGH")) line += 4;
  if (*line == '?') ++line;
  return IsSpaceOrTab(*line) || *line == '=';
}

bool LoadsEmm386(const char* line) {
  return LoadsDriver(line) && FindUpperWord(line, kEmm386) >= 0;
}

bool LoadsSavedEmm386(const char* line) {
  return LoadsDriver(line) && FindUpperWord(line, kSavedEmm386) >= 0;
}

// The line becomes newStart followed by the text after its first
// "EMM386.EXE": the driver's options (NOEMS, RAM, X=... exclusions that
// keep the PC from hanging) stay as they were. Without memory for the new
// text the line stays as it was.
void ReplaceLine(LineArray lines, int i, const char* newStart) {
  const char* options =
      lines[i] + FindUpperWord(lines[i], kEmm386) + strlen(kEmm386);
  const size_t startLength = strlen(newStart);
  const size_t optionsLength = strlen(options);
  char* line =
      static_cast<char*>(plat::Allocate(startLength + optionsLength + 1));
  if (line == nullptr) return;
  memcpy(line, newStart, startLength);
  memcpy(line + startLength, options, optionsLength + 1);
  plat::Release(lines[i]);
  lines[i] = line;
}

}  // namespace

// The first line that loads any EMM386.EXE, and every later one that loads
// the saved copy, which the uninstall is about to delete: the other blocks
// of a boot menu would otherwise load a file that is gone.
void ReplaceMemoryManagerLine(LineArray lines, int count,
                              const char* newStart) {
  bool first = true;
  for (int i = 0; i < count; ++i) {
    if (first ? LoadsEmm386(lines[i]) : LoadsSavedEmm386(lines[i])) {
      ReplaceLine(lines, i, newStart);
      first = false;
    }
  }
}

// An EMM386.EXE already in the Windows directory is the user's and stays.
void RestoreEmm386() {
  char destination[kPathSize];
  if (!WindowsEmm386(destination)) return;
  plat::CopyOneFile(kSavedEmm386, destination, true);
}

// CONFIG.SYS is never pointed at a file that is not there: without an
// EMM386.EXE in the Windows directory the file stays as it is.
void FixConfigSys() {
  char newStart[sizeof(kDeviceKey) + kPathSize];
  memcpy(newStart, kDeviceKey, sizeof(kDeviceKey));
  char* windowsEmm386 = newStart + strlen(kDeviceKey);
  if (!WindowsEmm386(windowsEmm386)) return;
  uint32_t attributes = plat::FileAttributes(windowsEmm386);
  if (attributes == plat::kInvalidAttributes ||
      (attributes & plat::kAttrDirectory) != 0) {
    return;
  }

  int count = 0;
  LineArray lines = LoadTextLines(kConfigSys, &count);
  if (lines == nullptr) return;
  ReplaceMemoryManagerLine(lines, count, newStart);
  SaveTextLines(lines, kConfigSys, count);
  FreeTextLines(lines, count);
}
