#include "launch/uninstall.h"

#include "control/builtin_messages.h"
#include "control/message.h"
#include "control/path_macros.h"
#include "fileops/file_lists.h"
#include "platform/platform.h"
#include "pnp/pnp_devices.h"
#include "textfile/batch_file.h"
#include "textfile/config_sys.h"

namespace {

// Only Yes goes on; No, a closed box or a failed box all stop here.
bool UserConfirms(LaunchState* state) {
  int answer = ShowLookedUpMessage(
      state->message, state->postInstall ? "POSTW95" : "AREYOUSURE",
      state->postInstall ? MSG_CONFIRM_POSTINSTALL : MSG_CONFIRM_FULL,
      state->controlPath, state->title, plat::kMbYesNo);
  return answer == plat::kIdYes;
}

// The DOS side of the card and the control file's own lists, in the order
// that lets the copy list place files the delete lists may then remove.
void RemoveDosAndFiles(LaunchState* state) {
  RestoreEmm386();
  CleanBatchFile("C:\\AUTOEXEC.BAT", state->controlPath);
  // A cut path would name another file: such a DOSSTART.BAT is left alone.
  if (ExpandPathMacros(state->work, kPathSize, "%WINDIR%\\DOSSTART.BAT")) {
    CleanBatchFile(state->work, state->controlPath);
  }
  FixConfigSys();
  RunCopyList(state->controlPath);
  RunDeleteList(state->controlPath);
  RunMultiDeleteList(state->controlPath);
  RunDeltreeList(state->controlPath);
}

}  // namespace

int RunUninstall(LaunchState* state) {
  if (!UserConfirms(state)) return 0;

  // Read now: the lists below may remove the control file itself.
  // Post-install mode has a closing text of its own, or else the full one.
  if (!state->postInstall ||
      !LoadMessage(state->message, kMessageKeyCount, "POSTREBOOTNOW",
                   state->controlPath)) {
    LoadMessage(state->message, kMessageKeyCount, "REBOOTNOW",
                state->controlPath);
  }

  RemovePnpDevices(state->controlPath);
  if (!state->postInstall) RemoveDosAndFiles(state);

  ShowBox(state->message[0] != '\0' ? state->message : MSG_REBOOT_NOW,
          state->title, plat::kMbOk);
  return 0;
}
