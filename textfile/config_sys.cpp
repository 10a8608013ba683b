#include "textfile/config_sys.h"

#include <cstdint>
#include <cstring>

#include "control/ascii_chars.h"
#include "control/not_done.h"
#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "platform/platform.h"
#include "textfile/temporary_file.h"
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
// text the line stays as it was (false).
bool ReplaceLine(LineArray lines, int i, const char* newStart) {
  const char* options =
      lines[i] + FindUpperWord(lines[i], kEmm386) + strlen(kEmm386);
  const size_t startLength = strlen(newStart);
  const size_t optionsLength = strlen(options);
  char* line =
      static_cast<char*>(plat::Allocate(startLength + optionsLength + 1));
  if (line == nullptr) return false;
  memcpy(line, newStart, startLength);
  memcpy(line + startLength, options, optionsLength + 1);
  plat::Release(lines[i]);
  lines[i] = line;
  return true;
}

bool AnyLoadsSavedEmm386(LineArray lines, int count) {
  for (int i = 0; i < count; ++i) {
    if (LoadsSavedEmm386(lines[i])) return true;
  }
  return false;
}

// A memory manager CONFIG.SYS may load: a file that is not the start of the
// saved copy cut short (an empty file, or a copy that stopped half-way, would
// hang the PC at the next start). One that cannot be compared counts.
bool IsWholeMemoryManager(const char* path) {
  return IsExistingFile(path) &&
         CompareFileBytes(path, kSavedEmm386) != ByteMatch::ProperPrefix;
}

// CONFIG.SYS was left loading the saved copy, or may be: the saved copy
// stays for it.
void KeepForConfigSys(NotDone* notDone) {
  NoteNotDone(notDone, NotDoneKind::NotChanged, kConfigSys);
  if (KeepFile(notDone, kSavedEmm386) && IsExistingFile(kSavedEmm386)) {
    NoteNotDone(notDone, NotDoneKind::Kept, kSavedEmm386);
  }
}

}  // namespace

// The first line that loads any EMM386.EXE, and every later one that loads
// the saved copy, which the uninstall is about to delete: the other blocks
// of a boot menu would otherwise load a file that is gone.
int ReplaceMemoryManagerLine(LineArray lines, int count,
                             const char* newStart) {
  bool first = true;
  int replaced = 0;
  for (int i = 0; i < count; ++i) {
    if (first ? LoadsEmm386(lines[i]) : LoadsSavedEmm386(lines[i])) {
      replaced += ReplaceLine(lines, i, newStart);
      first = false;
    }
  }
  return replaced;
}

// An EMM386.EXE already in the Windows directory is the user's and stays:
// the copy is placed whole, never over a file. A copy that fails keeps its
// source.
void RestoreEmm386(NotDone* notDone) {
  char destination[kPathSize];
  if (!WindowsEmm386(destination) ||
      plat::FileAttributes(destination) != plat::kInvalidAttributes ||
      !IsExistingFile(kSavedEmm386)) {
    return;
  }
  if (PlaceCopy(kSavedEmm386, destination, false)) return;
  NoteNotDone(notDone, NotDoneKind::NotCopied, destination);
  if (KeepFile(notDone, kSavedEmm386)) {
    NoteNotDone(notDone, NotDoneKind::Kept, kSavedEmm386);
  }
}

// CONFIG.SYS is never pointed at a file that is not there whole: without
// one in the Windows directory the file stays as it is. Whatever way it
// stays loading the saved copy (not pointed, not written, not readable), the
// saved copy is kept for it.
void FixConfigSys(NotDone* notDone) {
  char newStart[sizeof(kDeviceKey) + kPathSize];
  memcpy(newStart, kDeviceKey, sizeof(kDeviceKey));
  char* windowsEmm386 = newStart + strlen(kDeviceKey);
  const bool whole =
      WindowsEmm386(windowsEmm386) && IsWholeMemoryManager(windowsEmm386);

  int count = 0;
  LineArray lines = LoadTextLines(kConfigSys, &count);
  if (lines == nullptr) {
    if (IsExistingFile(kConfigSys)) KeepForConfigSys(notDone);
    return;
  }
  bool loadsSaved = AnyLoadsSavedEmm386(lines, count);
  bool notChanged = false;
  if (whole) {
    int replaced = ReplaceMemoryManagerLine(lines, count, newStart);
    if (SaveTextLines(lines, kConfigSys, count) == 0) {
      loadsSaved = AnyLoadsSavedEmm386(lines, count);
    } else {
      notChanged = replaced > 0;
    }
  }
  FreeTextLines(lines, count);
  if (loadsSaved) {
    KeepForConfigSys(notDone);
  } else if (notChanged) {
    NoteNotDone(notDone, NotDoneKind::NotChanged, kConfigSys);
  }
}
