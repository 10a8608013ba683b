// [delete]: each value names one file; what cannot be deleted now is
// deleted at the next start.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "platform/platform.h"
#include "textfile/wininit.h"

void RunDeleteList(const char* controlPath) {
  for (int n = 1;; ++n) {
    char key[16];
    char path[kPathSize];
    FormatListKey(key, "", n);
    ListValue value = ReadListPath(controlPath, "delete", key, path);
    if (value == ListValue::End) return;
    if (value != ListValue::Ok) continue;
    // In use, read-only or not there at all: the start-up deletes it (a
    // name that does not exist simply finds nothing to delete then).
    if (!plat::RemoveFile(path)) ScheduleDeleteOnReboot(path);
  }
}
