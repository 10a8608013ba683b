// [delete]: each value names one file; what cannot be deleted now is
// deleted at the next start.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "platform/platform.h"
#include "textfile/wininit.h"

void RunDeleteList(const char* controlPath, NotDone* notDone) {
  ListPathCursor cursor = StartListPaths(controlPath, "delete");
  char path[kPathSize];
  while (NextListPath(&cursor, path)) {
    if (MustKeep(notDone, path)) continue;
    // In use, read-only or not there at all: the start-up deletes it (a name
    // that does not exist simply finds nothing to delete then).
    if (plat::RemoveFile(path) || ScheduleDeleteOnReboot(path)) continue;
    if (plat::FileAttributes(path) != plat::kInvalidAttributes) {
      NoteNotDone(notDone, NotDoneKind::NotDeleted, path);
    }
  }
}
