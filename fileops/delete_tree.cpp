// Tree removal: depth first, each directory's entries in search order, and
// the first entry that cannot be removed ends the work in its directory.
#include <cstring>

#include "control/path_helpers.h"
#include "fileops/dir_listing.h"
#include "fileops/file_lists.h"
#include "platform/platform.h"

namespace {

// One tree removal: the path buffer that the whole recursion shares (each
// level appends its entry and cuts it off again), the run's record, and
// whether a file kept for the record lies below the entry at hand.
struct TreeWalk {
  char* path;  // kPathSize bytes
  NotDone* notDone;
  bool keptBelow;
};

void RemoveContents(TreeWalk* walk);

// A file kept for the run's record is passed over and the work goes on.
bool RemoveTreeFile(TreeWalk* walk, uint32_t attributes) {
  if (MustKeep(walk->notDone, walk->path)) {
    walk->keptBelow = true;
    return true;
  }
  if (plat::RemoveListedFile(walk->path, attributes)) return true;
  NoteNotDone(walk->notDone, NotDoneKind::NotDeleted, walk->path);
  return false;
}

// A directory is emptied and then removed; one that holds a kept file stays
// and the work goes on, as with the file. A failure already noted below is
// not noted again for the directories above it.
bool RemoveTreeDirectory(TreeWalk* walk, uint32_t attributes) {
  const bool keptBefore = walk->keptBelow;
  const int noted = walk->notDone->count;
  walk->keptBelow = false;
  if (!IsLinkEntry(attributes)) RemoveContents(walk);
  bool removed = walk->keptBelow || plat::RemoveDir(walk->path);
  if (!removed && walk->notDone->count == noted) {
    NoteNotDone(walk->notDone, NotDoneKind::NotDeleted, walk->path);
  }
  walk->keptBelow = walk->keptBelow || keptBefore;
  return removed;
}

// Removes one entry of the directory in the walk's path: a file is deleted,
// a directory emptied and then removed. A directory link is not entered and
// the platform refuses to remove it, so it stays and ends the work in its
// directory. A joined path that would not fit counts as a failed removal.
// The path is given back as it came.
bool RemoveTreeEntry(void* context, uint32_t attributes,
                     const char* name) {
  TreeWalk* walk = static_cast<TreeWalk*>(context);
  char* path = walk->path;
  size_t length = strlen(path);
  bool removed = false;
  if (AppendPath(path, kPathSize, "\\") &&
      AppendPath(path, kPathSize, name)) {
    removed = IsDirectoryEntry(attributes)
                  ? RemoveTreeDirectory(walk, attributes)
                  : RemoveTreeFile(walk, attributes);
  }
  path[length] = '\0';
  return removed;
}

// Empties the directory in the walk's path. Dot-named directories are
// skipped, so a directory holding one is never empty and its removal fails
// in the level above. Every level adds at least two characters to the path,
// which bounds the depth.
void RemoveContents(TreeWalk* walk) {
  char* path = walk->path;
  size_t length = strlen(path);
  // No room for the pattern: the contents stay, and so does the directory
  // unless it is empty.
  if (!AppendPath(path, kPathSize, "\\*.*")) return;
  char pattern[kPathSize];
  memcpy(pattern, path, strlen(path) + 1);
  path[length] = '\0';
  ActOnEntries(pattern, true, RemoveTreeEntry, walk);
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

void DeleteTreeContents(const char* directory, NotDone* notDone) {
  char path[kPathSize];
  TreeWalk walk = {path, notDone, false};
  if (NamedPath(directory, path) && !IsLinkPath(path)) RemoveContents(&walk);
}

// A directory that is not there is nothing to note.
void DeleteTree(const char* directory, NotDone* notDone) {
  char path[kPathSize];
  if (!NamedPath(directory, path)) return;
  TreeWalk walk = {path, notDone, false};
  const int noted = notDone->count;
  if (!IsLinkPath(path)) RemoveContents(&walk);
  if (walk.keptBelow || plat::RemoveDir(path) || notDone->count != noted) {
    return;
  }
  if (plat::FileAttributes(path) != plat::kInvalidAttributes) {
    NoteNotDone(notDone, NotDoneKind::NotDeleted, path);
  }
}
