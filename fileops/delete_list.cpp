// [delete]: each value names one file; what cannot be deleted now is
// deleted at the next start.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "fileops/list_targets.h"
#include "platform/platform.h"
#include "textfile/wininit.h"

int RunDeleteList(const char* controlPath) {
  ListPathCursor cursor = StartListPaths(controlPath, "delete");
  char value[kPathSize];
  int notDone = 0;
  while (NextListPath(&cursor, value)) {
    char path[kPathSize];
    if (FileTarget(value, path) != ListTarget::Act) continue;
    if (plat::RemoveFile(path)) continue;
    // A name that is not there has nothing to delete at the next start
    // either; one in use or read-only is entered in WININIT.INI.
    if (plat::FileAttributes(path) == plat::kInvalidAttributes) continue;
    // The one place that knows a file it could neither delete nor enter.
    if (!ScheduleDeleteOnReboot(path)) ++notDone;
  }
  return notDone;
}
