// [delete]: each value names one file; what cannot be deleted now is
// deleted at the next start.
#include "control/control_file.h"
#include "fileops/file_lists.h"
#include "platform/platform.h"
#include "textfile/wininit.h"

namespace {

// In use, read-only or not there at all: the start-up deletes it (a name
// that does not exist simply finds nothing to delete then).
void DeleteNowOrAtRestart(const char* path, void*) {
  if (!plat::RemoveFile(path)) ScheduleDeleteOnReboot(path);
}

}  // namespace

void RunDeleteList(const char* controlPath) {
  ForEachListPath(controlPath, "delete", DeleteNowOrAtRestart, nullptr);
}
