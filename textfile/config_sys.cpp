#include "textfile/config_sys.h"

#include <cstdint>
#include <cstring>

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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// After leading blanks, DEVICE or DEVICEHIGH followed by a blank or "=".
// Comments ("REM", ";") and menu items that merely name the driver do not
// load anything and are left alone.
bool LoadsDriver(const char* line) {
  while (IsBlank(*line)) ++line;
  if (!StartsWithUpperWord(line, "DEVICE")) return false;
  line += 6;
  if (StartsWithUpperWord(line, "HIGH")) line += 4;
  return IsBlank(*line) || *line == '=';
}

bool LoadsEmm386(const char* line) {
  return LoadsDriver(line) && FindUpperWord(line, kEmm386) >= 0;
}

// A longer text gets a string of its own; when none can be had, the line
// stays as it was.
void ReplaceLine(LineArray lines, int i, const char* newText) {
  if (strlen(newText) <= strlen(lines[i])) {
    strcpy(lines[i], newText);
    return;
  }
  char* line = DuplicateLine(newText);
  if (line == nullptr) return;
  plat::Release(lines[i]);
  lines[i] = line;
}

}  // namespace

void ReplaceMemoryManagerLine(LineArray lines, int count, const char* newText) {
  for (int i = 0; i < count; ++i) {
    if (LoadsEmm386(lines[i])) {
      ReplaceLine(lines, i, newText);
      return;
    }
  }
}

// An EMM386.EXE already in the Windows directory is the user's and stays.
void RestoreEmm386() {
  char destination[kPathSize];
  if (!WindowsEmm386(destination)) return;
  plat::CopyOneFile(kSavedEmm386, destination, true);
}

void FixConfigSys() {
  char newLine[sizeof(kDeviceKey) + kPathSize];
  memcpy(newLine, kDeviceKey, sizeof(kDeviceKey));
  if (!WindowsEmm386(newLine + strlen(kDeviceKey))) return;

  int count = 0;
  LineArray lines = LoadTextLines(kConfigSys, &count);
  if (lines == nullptr) return;
  ReplaceMemoryManagerLine(lines, count, newLine);
  SaveTextLines(lines, kConfigSys, count);
  FreeTextLines(lines, count);
}
