// [deltree]: each value names a directory removed with all it holds.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"

void RunDeltreeList(const char* controlPath) {
  for (int n = 1;; ++n) {
    char key[16];
    char directory[kPathSize];
    FormatListKey(key, "", n);
    ListValue value = ReadListPath(controlPath, "deltree", key, directory);
    if (value == ListValue::End) return;
    if (value == ListValue::Ok) DeleteTree(directory);
  }
}
