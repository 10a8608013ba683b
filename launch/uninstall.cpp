#include "launch/uninstall.h"

#include "control/builtin_messages.h"
#include "control/message.h"
#include "control/not_done.h"
#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "fileops/file_lists.h"
#include "platform/platform.h"
#include "pnp/pnp_devices.h"
#include "pnp/registry_list.h"
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
// that lets the copy list place files the delete lists may then remove, and
// that tells the lists which files the steps before them still need. The
// registry list comes last: until the files are gone, the card's
// Add/Remove Programs entry still offers to remove them.
void RemoveDosAndFiles(LaunchState* state, NotDone* notDone) {
  RestoreEmm386(notDone);
  CleanBatchFile("C:\\AUTOEXEC.BAT", state->controlPath, notDone);
  // A cut path would name another file: such a DOSSTART.BAT is left alone.
  if (ExpandPathMacros(state->work, kPathSize, "%WINDIR%\\DOSSTART.BAT")) {
    CleanBatchFile(state->work, state->controlPath, notDone);
  }
  FixConfigSys(notDone);
  RunCopyList(state->controlPath, notDone);
  RunDeleteList(state->controlPath, notDone);
  RunMultiDeleteList(state->controlPath, notDone);
  RunDeltreeList(state->controlPath, notDone);
  RunRegistryList(state->controlPath, notDone);
}

// The closing text, and after it the program's own lines naming what could
// not be done: a run that did everything shows the text alone.
void ShowClosingBox(const char* text, const NotDone& notDone,
                    const char* title) {
  char box[kMessageBufferSize + kNotDoneTextSize];
  CopyPath(box, sizeof box, text);
  AppendNotDone(notDone, box, sizeof box);
  ShowBox(box, title, plat::kMbOk);
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

  NotDone notDone;
  StartNotDone(&notDone);
  RemovePnpDevices(state->controlPath);
  if (!state->postInstall) RemoveDosAndFiles(state, &notDone);

  ShowClosingBox(state->message[0] != '\0' ? state->message : MSG_REBOOT_NOW,
                 notDone, state->title);
  return 0;
}
