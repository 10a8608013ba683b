// [copy]: FROMn is copied over TOn, pair by pair.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "fileops/list_targets.h"
#include "textfile/line_file.h"
#include "textfile/temporary_file.h"

namespace {

// The copy is placed whole (PlaceCopy), replacing the target. A copy that
// fails (target in use or read-only, its directory missing, the disk full)
// keeps its source, which the lists after this one would delete: it may be
// the only copy of what the target was to get back. A source that is not
// there had nothing to copy: nothing is noted then.
void CopyIntoPlace(const char* source, const char* target, NotDone* notDone) {
  if (PlaceCopy(source, target, true)) return;
  const bool newlyKept = KeepFile(notDone, source);
  if (IsExistingFile(source)) {
    NoteNotDone(notDone, NotDoneKind::NotCopied, target);
    if (newlyKept) NoteNotDone(notDone, NotDoneKind::Kept, source);
  }
}

}  // namespace

void RunCopyList(const char* controlPath, NotDone* notDone) {
  CopyPairCursor pairs =
      StartCopyPairs(PathListKeys(controlPath, "copy", "FROM"),
                     PathListKeys(controlPath, "copy", "TO"));
  char source[kPathSize];
  char target[kPathSize];
  while (NextCopyPair(&pairs, source, target)) {
    // An existing target is replaced. A target too long to name, or one
    // whose place cannot be told, gets no copy: its source stays.
    char sourcePath[kPathSize];
    if (pairs.from != ListValue::Ok ||
        FileTarget(source, sourcePath) != ListTarget::Act) {
      continue;
    }
    char targetPath[kPathSize];
    if (pairs.to == ListValue::Ok &&
        FileTarget(target, targetPath) == ListTarget::Act) {
      CopyIntoPlace(sourcePath, targetPath, notDone);
      continue;
    }
    KeepFile(notDone, sourcePath);
    if (IsExistingFile(sourcePath)) {
      NoteNotDone(notDone, NotDoneKind::NotCopied, sourcePath);
    }
  }
}
