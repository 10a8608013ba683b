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
// directory emptied and then removed. A directory link is not entered and
// the platform refuses to remove it, so it stays and ends the work in its
// directory. A joined path that would not fit counts as a failed removal.
// path is given back as it came.
bool RemoveTreeEntry(void* context, uint32_t attributes,
                     const char* name) {
  char* path = static_cast<char*>(context);
  size_t length = strlen(path);
  bool removed = false;
  if (AppendPath(path, kPathSize, "\\") &&
      AppendPath(path, kPathSize, name)) {
    if (IsDirectoryEntry(attributes)) {
      if (!IsLinkEntry(attributes)) RemoveContents(path);
      removed = plat::RemoveDir(path);
    } else {
      removed = plat::RemoveListedFile(path, attributes);
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
  ActOnEntries(pattern, true, RemoveTreeEntry, path);
}

}  // namespace

namespace {

// The named directory copied into path; false for a name too long for it,
// and for an empty name, which would make the pattern "\*.*", the root of
// the current drive: it names no directory and is left alone.
bool NamedPath(const char* directory, char* path) {
  return directory[0] != '\0' && CopyPath(path, kPathSize, directory);
}

// A named directory that is itself a link is not entered either: what it
// points to lies outside the named tree (and the link stays, refused by
// the platform).
bool IsLinkPath(const char* path) {
  uint32_t attributes = plat::FileAttributes(path);
  return attributes != plat::kInvalidAttributes && IsLinkEntry(attributes);
}

}  // namespace

void DeleteTreeContents(const char* directory) {
  char path[kPathSize];
  if (NamedPath(directory, path) && !IsLinkPath(path)) RemoveContents(path);
}

void DeleteTree(const char* directory) {
  char path[kPathSize];
  if (!NamedPath(directory, path)) return;
  if (!IsLinkPath(path)) RemoveContents(path);
  plat::RemoveDir(path);
}
