// [deltree]: each value names a directory removed with all it holds.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "fileops/list_targets.h"

void RunDeltreeList(const char* controlPath, NotDone* notDone) {
  ListPathCursor cursor = StartListPaths(controlPath, "deltree");
  char value[kPathSize];
  while (NextListPath(&cursor, value)) {
    // A drive root or the Windows directory in the list is a typing error
    // that would empty the system, and a value whose directory cannot be
    // told might be one: passed over, and the closing box says so.
    char directory[kPathSize];
    if (TreeTarget(value, directory) == ListTarget::Act) {
      DeleteTree(directory, notDone);
    } else {
      NoteNotDone(notDone, NotDoneKind::Kept, value);
    }
  }
}
