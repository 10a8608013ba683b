#include "launch/relaunch.h"

#include <cstring>

#include "control/ascii_chars.h"
#include "control/builtin_messages.h"
#include "control/message.h"
#include "control/path_helpers.h"
#include "launch/install_dir.h"
#include "platform/platform.h"
#include "textfile/wininit.h"

namespace {

struct FailureText {
  const char* section;
  const char* builtin;
};

const FailureText kCopyExeFailed = {"FAILEDTOCOPY_SELDUNAX.EXE",
                                    MSG_COPY_EXE_FAILED};
const FailureText kCopyIniFailed = {"FAILEDTOCOPY_SELDUNAX.INI",
                                    MSG_COPY_INI_FAILED};
const FailureText kCopyDevejectFailed = {"FAILEDTOCOPY_DEVEJECT.EXE",
                                         MSG_COPY_DEVEJECT_FAILED};
const FailureText kSwitchFailed = {"CDNTSWITCHTOTEMP", MSG_SWITCH_TEMP_FAILED};

// Nothing already copied is undone: each copy is entered for deletion at the
// next start as soon as it exists.
int Fail(LaunchState* state, const FailureText& failure) {
  ShowLookedUpMessage(state->message, failure.section, failure.builtin,
                      state->controlPath, state->title, plat::kMbOk);
  return 2;
}

// Appends the final backslash when there is room for it; returns the
// directory's length with it, or -1 when it does not fit.
int DirectoryWithBackslash(char* path) {
  size_t length = strlen(path);
  if (length > 0 && path[length - 1] == '\\') return static_cast<int>(length);
  if (length + 1 >= static_cast<size_t>(kPathSize)) return -1;
  return AddTrailingBackslash(path);
}

// The temporary directory with its final backslash into out; -1 when the
// system cannot tell it or it does not fit.
int ReadTempDirectory(char* out) {
  uint32_t length = plat::TempDirectory(out, kPathSize);
  if (length == 0 || length >= static_cast<uint32_t>(kPathSize)) {
    out[0] = '\0';
    return -1;
  }
  return DirectoryWithBackslash(out);
}

// Cuts directory (a path buffer) back to its first length characters and
// appends name; false when the result would not fit.
bool JoinName(char* directory, int length, const char* name) {
  directory[length] = '\0';
  return AppendPath(directory, kPathSize, name);
}

// Copies source to the temporary directory under name, overwriting an
// earlier copy, and enters the copy for deletion at the next start. The
// temporary path is cut back to the directory afterwards.
bool CopyToTemp(LaunchState* state, int tempLength, const char* source,
                const char* name) {
  if (!JoinName(state->tempPath, tempLength, name)) return false;
  if (!plat::CopyOneFile(source, state->tempPath, false)) return false;
  // A copy that WININIT.INI cannot name at all (a TEMP directory without
  // short names, or too deep for DOS) stays in TEMP, as it did before
  // entries had to be 8.3: refusing would keep the card from ever being
  // removed from its install directory. One that it could name but that
  // was not entered (WININIT.INI cannot be written) would stay for good on
  // a failing disk: it goes again, and the hand-over stops.
  if (!ScheduleDeleteOnReboot(state->tempPath) &&
      HasDosPath(state->tempPath)) {
    plat::RemoveFile(state->tempPath);
    return false;
  }
  state->tempPath[tempLength] = '\0';
  return true;
}

// A file from the current directory (the work buffer) into the temporary
// directory; the work buffer is cut back to the directory afterwards.
bool CopyFromHere(LaunchState* state, int workLength, int tempLength,
                  const char* name) {
  if (!JoinName(state->work, workLength, name)) return false;
  bool copied = CopyToTemp(state, tempLength, state->work, name);
  state->work[workLength] = '\0';
  return copied;
}

// Equal but for letter case and one final backslash on either side.
bool SamePathText(const char* a, const char* b) {
  size_t lengthA = strlen(a);
  size_t lengthB = strlen(b);
  if (lengthA > 0 && a[lengthA - 1] == '\\') --lengthA;
  if (lengthB > 0 && b[lengthB - 1] == '\\') --lengthB;
  if (lengthA != lengthB) return false;
  for (size_t i = 0; i < lengthA; ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// Whether the two paths name one directory: as written, or in their short
// (8.3) forms, should the system report the current directory in the other
// form than the one it was given.
bool SameDirectory(const char* a, const char* b) {
  if (SamePathText(a, b)) return true;
  char shortA[kPathSize];
  char shortB[kPathSize];
  uint32_t lengthA = plat::ShortPathName(a, shortA, kPathSize);
  uint32_t lengthB = plat::ShortPathName(b, shortB, kPathSize);
  return lengthA != 0 && lengthA < static_cast<uint32_t>(kPathSize) &&
         lengthB != 0 && lengthB < static_cast<uint32_t>(kPathSize) &&
         SamePathText(shortA, shortB);
}

// The temporary directory as it is made current: without its final
// backslash, except at a drive root, where "C:" alone would mean the current
// directory of drive C:, that is the install directory again.
void PrepareForChange(char* directory) {
  size_t length = strlen(directory);
  bool driveRoot = length == 3 && directory[1] == ':' && directory[2] == '\\';
  if (!driveRoot) RemoveTrailingBackslash(directory);
}

// Makes the temporary directory current and reads back where that led
// (into the work buffer). The copy is started only there: started in the
// install directory it would hand over again, and again, without end.
bool EnterTempDirectory(LaunchState* state) {
  PrepareForChange(state->tempPath);
  if (!plat::ChangeDirectory(state->tempPath)) return false;
  uint32_t length = plat::CurrentDirectory(state->work, kPathSize);
  if (length == 0 || length >= static_cast<uint32_t>(kPathSize)) return false;
  return !IsInstallDirectory(state->work) &&
         SameDirectory(state->work, state->tempPath);
}

}  // namespace

int RelaunchFromTemp(LaunchState* state) {
  int tempLength = ReadTempDirectory(state->tempPath);
  if (tempLength < 0) return Fail(state, kCopyExeFailed);
  // A copy started inside the install directory would relaunch again, and
  // again, without end.
  if (IsInstallDirectory(state->tempPath)) return Fail(state, kSwitchFailed);
  int workLength = DirectoryWithBackslash(state->work);
  if (workLength < 0) return Fail(state, kCopyExeFailed);

  if (!CopyFromHere(state, workLength, tempLength, "seldunax.exe")) {
    return Fail(state, kCopyExeFailed);
  }
  // The control file goes across under the name the hand-over gives it,
  // whatever it is called here.
  if (!CopyToTemp(state, tempLength, state->controlPath, "seldunax.ini")) {
    return Fail(state, kCopyIniFailed);
  }
  if (!CopyFromHere(state, workLength, tempLength, "deveject.exe")) {
    return Fail(state, kCopyDevejectFailed);
  }

  if (!EnterTempDirectory(state)) return Fail(state, kSwitchFailed);

  // Ends this process once the copy is running; returns only when it could
  // not be started, which is not reported.
  plat::StartAndExit("SELDUNAX", "SELDUNAX SELDUNAX.INI");
  return 0;
}
