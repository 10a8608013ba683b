// [multdel]: each value is a file pattern whose matches are deleted in the
// order the search returns them, up to the first that cannot be deleted.
#include <cstring>

#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/dir_listing.h"
#include "fileops/file_lists.h"
#include "fileops/list_targets.h"
#include "platform/platform.h"

// The pattern's directory part: everything up to and including its last
// ":", "\" or "/" (empty when it has none). The system's search takes "/"
// for "\", so the names it finds belong there too.
size_t DirectoryPartLength(const char* pattern) {
  size_t length = strlen(pattern);
  while (length > 0) {
    char c = pattern[length - 1];
    if (c == ':' || c == '\\' || c == '/') break;
    --length;
  }
  return length;
}

namespace {

struct MatchTarget {
  char path[kPathSize];  // the directory part, then the match's name
  size_t directoryLength;
  NotDone* notDone;
};

// Deletes one match. Whatever it is (a directory, ".", a read-only file or
// one in use), a match that cannot be deleted ends the pattern; so does a
// name that would not fit the path buffer, as a cut path names another file.
// A file that could not be deleted is noted; a kept file is passed over.
bool DeleteMatch(void* context, uint32_t attributes, const char* name) {
  MatchTarget* target = static_cast<MatchTarget*>(context);
  target->path[target->directoryLength] = '\0';
  if (!AppendPath(target->path, kPathSize, name)) return false;
  if (MustKeep(target->notDone, target->path)) return true;
  if (plat::RemoveListedFile(target->path, attributes)) return true;
  if (!IsDirectoryEntry(attributes)) {
    NoteNotDone(target->notDone, NotDoneKind::NotDeleted, target->path);
  }
  return false;
}

// A pattern that names every file of a drive root, the Windows or system
// directory (or one that holds them) is a typing error, and one whose
// directory cannot be told might be: passed over, and the closing box says
// so.
void DeleteMatches(const char* value, NotDone* notDone) {
  MatchTarget target;
  target.notDone = notDone;
  char pattern[kPathSize];
  if (SweepTarget(value, pattern, &target.directoryLength) !=
      ListTarget::Act) {
    NoteNotDone(notDone, NotDoneKind::Kept, value);
    return;
  }
  memcpy(target.path, pattern, target.directoryLength);
  target.path[target.directoryLength] = '\0';
  ActOnEntries(pattern, false, DeleteMatch, &target);
}

}  // namespace

void RunMultiDeleteList(const char* controlPath, NotDone* notDone) {
  ListPathCursor cursor = StartListPaths(controlPath, "multdel");
  char value[kPathSize];
  while (NextListPath(&cursor, value)) DeleteMatches(value, notDone);
}
