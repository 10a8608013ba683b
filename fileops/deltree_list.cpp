// [deltree]: each value names a directory removed with all it holds.
#include "control/control_file.h"
#include "fileops/file_lists.h"
#include "fileops/protected_dirs.h"

namespace {

// A drive root or the Windows directory in the list is a typing error that
// would empty the system: passed over.
void RemoveListedTree(const char* directory, void*) {
  if (!IsProtectedTree(directory)) DeleteTree(directory);
}

}  // namespace

void RunDeltreeList(const char* controlPath) {
  ForEachListPath(controlPath, "deltree", RemoveListedTree, nullptr);
}
