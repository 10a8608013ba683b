#include "seldchk/run_places.h"

#include <cstring>

#include "control/ascii_chars.h"
#include "control/normal_path.h"
#include "launch/install_dir.h"
#include "platform/platform.h"

namespace {

const char kHandOverControl[] = "SELDUNAX.INI";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// place at directory (any spelling), reading name there.
void Place(const char* directory, const char* name, RunPlace* place) {
  place->known =
      directory != nullptr &&
      NormalizePath(directory, place->directory) == PathForm::Normal &&
      CopyPath(place->controlPath, kPathSize, place->directory) &&
      (place->controlPath[strlen(place->controlPath) - 1] == '\\' ||
       AppendPath(place->controlPath, kPathSize, "\\")) &&
      AppendPath(place->controlPath, kPathSize, name);
  if (!place->known) {
    place->directory[0] = '\0';
    place->controlPath[0] = '\0';
  }
}

const char* LastName(const char* path) {
  const char* name = path;
  for (const char* c = path; *c != '\0'; ++c) {
    if (IsSeparator(*c) || *c == ':') name = c + 1;
  }
  return name;
}

}  // namespace

void FindRunPlaces(const char* directory, const char* fileName,
                   RunPlaces* places) {
  Place(directory, LastName(fileName), &places->disk);
  char temp[kPathSize];
  uint32_t length = plat::TempDirectory(temp, kPathSize);
  bool told = length > 0 && length < static_cast<uint32_t>(kPathSize);
  Place(told ? temp : nullptr, kHandOverControl, &places->handOver);
  places->diskHandsOver =
      places->disk.known && IsInstallDirectory(places->disk.directory);
}

const RunPlace& PlanPlace(const RunPlaces& places) {
  return places.diskHandsOver ? places.handOver : places.disk;
}

const RunPlace& OtherPlace(const RunPlaces& places) {
  return places.diskHandsOver ? places.disk : places.handOver;
}

bool IsRelativePath(const char* value) {
  bool full = IsAsciiLetter(value[0]) && value[1] == ':' &&
              IsSeparator(value[2]);
  bool network = IsSeparator(value[0]) && IsSeparator(value[1]);
  return !full && !network && value[0] != '\0';
}

bool AbsoluteFrom(const char* directory, const char* relative, char* out) {
  out[0] = '\0';
  if (IsSeparator(relative[0])) {
    // The root of the directory's drive: "X:" or "\\SERVER\SHARE".
    size_t root = 2;
    if (directory[1] != ':') {
      int separators = 0;
      while (directory[root] != '\0' &&
             !(directory[root] == '\\' && ++separators == 2)) {
        ++root;
      }
    }
    if (root >= static_cast<size_t>(kPathSize)) return false;
    memcpy(out, directory, root);
    out[root] = '\0';
    return AppendPath(out, kPathSize, relative);
  }
  const char* rest = relative;
  if (IsAsciiLetter(relative[0]) && relative[1] == ':') {
    rest = relative + 2;
    if (UpperAscii(relative[0]) != UpperAscii(directory[0])) {
      const char root[4] = {relative[0], ':', '\\', '\0'};
      return CopyPath(out, kPathSize, root) && AppendPath(out, kPathSize, rest);
    }
  }
  if (!CopyPath(out, kPathSize, directory)) return false;
  size_t length = strlen(out);
  return (out[length - 1] == '\\' || AppendPath(out, kPathSize, "\\")) &&
         AppendPath(out, kPathSize, rest);
}
