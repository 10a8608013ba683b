// Tree removal: depth first, each directory's entries in search order, and
// the first entry that cannot be removed ends the work in its directory.
#include <cstring>

#include "control/path_helpers.h"
#include "fileops/dir_listing.h"
#include "fileops/file_lists.h"
#include "platform/platform.h"

namespace {

void RemoveContents(char* path);

// Removes one entry of the directory in path: a file is deleted, a
// directory emptied and then removed. A joined path that would not fit
// counts as a failed removal. path is given back as it came.
bool RemoveEntry(void* context, uint32_t attributes, const char* name) {
  char* path = static_cast<char*>(context);
  size_t length = strlen(path);
  bool removed = false;
  if (AppendPath(path, kPathSize, "\\") &&
      AppendPath(path, kPathSize, name)) {
    if (IsDirectoryEntry(attributes)) {
      RemoveContents(path);
      removed = plat::RemoveDir(path);
    } else {
      removed = plat::RemoveFile(path);
    }
  }
  path[length] = '\0';
  return removed;
}

// Empties the directory in path (a kPathSize buffer that the whole
// recursion shares: each level appends its entry and cuts it off again).
// Dot-named directories are skipped, so a directory holding one is never
// empty and its removal fails in the level above. Every level adds at least
// two characters to path, which bounds the depth.
void RemoveContents(char* path) {
  size_t length = strlen(path);
  // No room for the pattern: the contents stay, and so does the directory
  // unless it is empty.
  if (!AppendPath(path, kPathSize, "\\*.*")) return;
  char pattern[kPathSize];
  memcpy(pattern, path, strlen(path) + 1);
  path[length] = '\0';
  ActOnEntries(pattern, true, RemoveEntry, path);
}

}  // namespace

// An empty name would make the pattern "\*.*", the root of the current
// drive: it names no directory and is left alone.
void DeleteTreeContents(const char* directory) {
  char path[kPathSize];
  if (directory[0] == '\0' || !CopyPath(path, kPathSize, directory)) return;
  RemoveContents(path);
}

void DeleteTree(const char* directory) {
  char path[kPathSize];
  if (directory[0] == '\0' || !CopyPath(path, kPathSize, directory)) return;
  RemoveContents(path);
  plat::RemoveDir(path);
}
