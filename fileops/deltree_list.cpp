// [deltree]: each value names a directory removed with all it holds.
#include "control/control_file.h"
#include "fileops/file_lists.h"

namespace {

void RemoveListedTree(const char* directory, void*) { DeleteTree(directory); }

}  // namespace

void RunDeltreeList(const char* controlPath) {
  ForEachListPath(controlPath, "deltree", RemoveListedTree, nullptr);
}
