// [copy]: FROMn is copied over TOn, pair by pair.
#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "fileops/list_targets.h"
#include "platform/platform.h"

void RunCopyList(const char* controlPath) {
  const NumberedKeys sources = PathListKeys(controlPath, "copy", "FROM");
  const NumberedKeys targets = PathListKeys(controlPath, "copy", "TO");
  for (int n = 1;; ++n) {
    char source[kPathSize];
    char target[kPathSize];
    ListValue from = ReadNumberedKey(sources, n, source);
    if (from == ListValue::End) return;
    // An empty TO ends the list as well; an over-long FROM does not, so TO
    // is read either way.
    ListValue to = ReadNumberedKey(targets, n, target);
    if (to == ListValue::End) return;
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
