// [copy]: FROMn is copied over TOn, pair by pair.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "fileops/list_targets.h"
#include "platform/platform.h"

void RunCopyList(const char* controlPath) {
  CopyPairCursor pairs =
      StartCopyPairs(PathListKeys(controlPath, "copy", "FROM"),
                     PathListKeys(controlPath, "copy", "TO"));
  char source[kPathSize];
  char target[kPathSize];
  while (NextCopyPair(&pairs, source, target)) {
    ListValue from = pairs.from;
    ListValue to = pairs.to;
    // A failed copy (missing source, missing target directory, target in
    // use) is passed over; an existing target is replaced.
    if (from != ListValue::Ok || to != ListValue::Ok) continue;
    char sourcePath[kPathSize];
    char targetPath[kPathSize];
    if (FileTarget(source, sourcePath) == ListTarget::Act &&
        FileTarget(target, targetPath) == ListTarget::Act) {
      plat::CopyOneFile(sourcePath, targetPath, false);
    }
  }
}
