#include "launch/entry.h"

#include <cstring>

#include "control/builtin_messages.h"
#include "control/message.h"
#include "control/path_helpers.h"
#include "launch/command_line.h"
#include "launch/install_dir.h"
#include "launch/launch_state.h"
#include "launch/relaunch.h"
#include "launch/uninstall.h"
#include "platform/platform.h"

namespace {

// The current directory into out (kPathSize bytes); false when the system
// cannot tell it or it does not fit.
bool ReadCurrentDirectory(char* out) {
  uint32_t length = plat::CurrentDirectory(out, kPathSize);
  if (length == 0 || length >= static_cast<uint32_t>(kPathSize)) {
    out[0] = '\0';
    return false;
  }
  return true;
}

// The control file is always taken relative to the current directory, even
// when its name holds a drive or begins with a backslash. False when the
// joined path would not fit: a cut path could name another file.
bool FormControlPath(const char* directory, const char* name, char* path) {
  if (!CopyPath(path, kPathSize, directory)) return false;
  size_t length = strlen(path);
  if (length == 0 || path[length - 1] != '\\') {
    if (length + 1 >= static_cast<size_t>(kPathSize)) return false;
    AddTrailingBackslash(path);
  }
  return AppendPath(path, kPathSize, name);
}

bool PathExists(const char* path) {
  return plat::FileAttributes(path) != plat::kInvalidAttributes;
}

// The control-file check: a control file to read. Everything that keeps us
// from naming it exactly (no name, a name or directory too long, no current
// directory) counts as not finding it.
bool FindControlFile(const CommandOptions& options, LaunchState* state) {
  if (options.controlName[0] == '\0' || options.nameTooLong) return false;
  if (!ReadCurrentDirectory(state->work)) return false;
  if (!FormControlPath(state->work, options.controlName, state->controlPath)) {
    return false;
  }
  return PathExists(state->controlPath);
}

}  // namespace

int RunEntry(const char* commandLine) {
  CommandOptions options;
  ParseCommandLine(SkipProgramName(commandLine), &options);

  LaunchState state;
  state.postInstall = options.postInstall;
  state.controlPath[0] = '\0';
  state.tempPath[0] = '\0';
  state.work[0] = '\0';
  state.message[0] = '\0';
  state.title[0] = '\0';

  if (!FindControlFile(options, &state)) {
    // No control file to look a text or title up in: both are built in.
    ShowBox(MSG_NO_CONTROL_FILE, state.title, plat::kMbOk);
    return 1;
  }
  LoadBoxTitle(state.title, state.controlPath);
  // The release-tool check.
  if (!PathExists(".\\DEVEJECT.EXE")) {
    ShowLookedUpMessage(state.message, "EJCTNOTFOUND", MSG_NO_DEVEJECT,
                        state.controlPath, state.title, plat::kMbOk);
    return 2;
  }
  // The work buffer holds the current directory from here on.
  if (state.postInstall || !IsInstallDirectory(state.work)) {
    return RunUninstall(&state);
  }
  return RelaunchFromTemp(&state);
}
