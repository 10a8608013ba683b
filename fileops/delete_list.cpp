// [delete]: each value names one file; what cannot be deleted now is
// deleted at the next start.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "fileops/list_targets.h"
#include "platform/platform.h"
#include "textfile/wininit.h"

void RunDeleteList(const char* controlPath, NotDone* notDone) {
  ListPathCursor cursor = StartListPaths(controlPath, "delete");
  char value[kPathSize];
  while (NextListPath(&cursor, value)) {
    char path[kPathSize];
    if (FileTarget(value, path) != ListTarget::Act) {
      NoteNotDone(notDone, NotDoneKind::Kept, value);
      continue;
    }
    if (MustKeep(notDone, path) || plat::RemoveFile(path)) continue;
    // A name that is not there has nothing to delete at the next start
    // either; one in use or read-only is entered in WININIT.INI, and one
    // that cannot be entered either is noted.
    if (plat::FileAttributes(path) == plat::kInvalidAttributes) continue;
    if (!ScheduleDeleteOnReboot(path)) {
      NoteNotDone(notDone, NotDoneKind::NotDeleted, path);
    }
  }
}
