// [deltree]: each value names a directory removed with all it holds.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "fileops/protected_dirs.h"

void RunDeltreeList(const char* controlPath, NotDone* notDone) {
  ListPathCursor cursor = StartListPaths(controlPath, "deltree");
  char directory[kPathSize];
  while (NextListPath(&cursor, directory)) {
    // A drive root or the Windows directory in the list is a typing error
    // that would empty the system: passed over.
    if (IsProtectedTree(directory)) {
      NoteNotDone(notDone, NotDoneKind::Kept, directory);
    } else {
      DeleteTree(directory, notDone);
    }
  }
}
