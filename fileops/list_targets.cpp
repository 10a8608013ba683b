#include "fileops/list_targets.h"

#include <cstring>

#include "control/ascii_chars.h"
#include "control/normal_path.h"
#include "control/path_helpers.h"
#include "fileops/file_lists.h"
#include "fileops/protected_dirs.h"

namespace {

ListTarget FromForm(PathForm form) {
  if (form == PathForm::Normal) return ListTarget::Act;
  return form == PathForm::Device ? ListTarget::Device : ListTarget::Untold;
}

}  // namespace

ListTarget FileTarget(const char* value, char* path) {
  return FromForm(NormalizePath(value, path));
}

ListTarget SweepTarget(const char* value, char* pattern,
                       size_t* directoryLength) {
  *directoryLength = 0;
  size_t partLength = DirectoryPartLength(value);
  char part[kPathSize];
  if (partLength >= sizeof part) return ListTarget::Untold;
  if (partLength == 0) {
    memcpy(part, ".", 2);
  } else {
    memcpy(part, value, partLength);
    part[partLength] = '\0';
  }
  ListTarget target = FromForm(NormalizePath(part, pattern));
  if (target != ListTarget::Act) return target;
  const char* name = value + partLength;
  if (NamesEveryFile(name) && IsProtectedDirectory(pattern)) {
    pattern[0] = '\0';
    return ListTarget::Protected;
  }
  size_t length = strlen(pattern);
  if ((pattern[length - 1] != '\\' && !AppendPath(pattern, kPathSize, "\\")) ||
      !AppendPath(pattern, kPathSize, name)) {
    pattern[0] = '\0';
    return ListTarget::Untold;
  }
  *directoryLength = strlen(pattern) - strlen(name);
  return ListTarget::Act;
}

ListTarget TreeTarget(const char* value, char* directory) {
  directory[0] = '\0';
  // A bare drive is passed over whatever its current directory.
  if (IsAsciiLetter(value[0]) && value[1] == ':' && value[2] == '\0') {
    return ListTarget::Protected;
  }
  ListTarget target = FromForm(NormalizePath(value, directory));
  if (target == ListTarget::Act && IsProtectedDirectory(directory)) {
    directory[0] = '\0';
    return ListTarget::Protected;
  }
  return target;
}
