#include "control/normal_path.h"

#include <cstring>

#include "control/ascii_chars.h"
#include "control/path_helpers.h"
#include "platform/platform.h"

namespace {

// Room for a current directory and a relative value joined: ".." names in
// the value may bring the result back within 255 characters.
constexpr size_t kWorkSize = 2 * kPathSize;

// A path being built: its root ("C:" or "\\SERVER\SHARE", without the
// backslash after it), then a backslash and each name.
struct Building {
  char text[kWorkSize];
  size_t rootLength;
  size_t length;
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t NameLength(const char* text) {
  size_t length = 0;
  while (text[length] != '\0' && !IsSeparator(text[length])) ++length;
  return length;
}

bool Append(Building* path, const char* text, size_t count) {
  if (path->length + count >= kWorkSize) return false;
  memcpy(path->text + path->length, text, count);
  path->length += count;
  path->text[path->length] = '\0';
  return true;
}

void BackToParent(Building* path) {
  while (path->length > path->rootLength &&
         path->text[--path->length] != '\\') {
  }
  path->text[path->length] = '\0';
}

// "\??\", "\\?\", "\\.\", either separator, or such a start alone.
bool IsDeviceSpelling(const char* text) {
  if (!IsSeparator(text[0])) return false;
  bool nt = text[1] == '?' && text[2] == '?';
  bool device = IsSeparator(text[1]) && (text[2] == '?' || text[2] == '.');
  return (nt || device) && (text[3] == '\0' || IsSeparator(text[3]));
}

// Adds the names of rest as the system reads them. False for a name that
// cannot be told (see PathForm::Untold) and for a result too long to build.
bool AddNames(Building* path, const char* rest) {
  for (;;) {
    while (IsSeparator(*rest)) ++rest;
    if (*rest == '\0') return true;
    const char* name = rest;
    size_t length = NameLength(name);
    rest += length;
    if (length == 1 && name[0] == '.') continue;
    if (length == 2 && name[0] == '.' && name[1] == '.') {
      BackToParent(path);
      continue;
    }
    if (memchr(name, ':', length) != nullptr) return false;
    while (length > 0 && (name[length - 1] == '.' || name[length - 1] == ' ')) {
      --length;
    }
    if (length == 0) return false;
    if (!Append(path, "\\", 1) || !Append(path, name, length)) return false;
  }
}

// Starts path at the root of an absolute text ("X:\..." or
// "\\SERVER\SHARE..."); *rest gets what follows the root. False for any
// other text.
bool StartAtRoot(const char* text, Building* path, const char** rest) {
  path->length = 0;
  if (IsAsciiLetter(text[0]) && text[1] == ':' && IsSeparator(text[2])) {
    const char drive[2] = {UpperAscii(text[0]), ':'};
    Append(path, drive, 2);
    *rest = text + 2;
  } else if (IsSeparator(text[0]) && IsSeparator(text[1])) {
    const char* server = text + 2;
    size_t serverLength = NameLength(server);
    if (serverLength == 0 || server[serverLength] == '\0') return false;
    const char* share = server + serverLength + 1;
    size_t shareLength = NameLength(share);
    if (shareLength == 0 || !Append(path, "\\\\", 2) ||
        !Append(path, server, serverLength) || !Append(path, "\\", 1) ||
        !Append(path, share, shareLength)) {
      return false;
    }
    *rest = share + shareLength;
  } else {
    return false;
  }
  path->rootLength = path->length;
  return true;
}

// Starts path at the directory that the system makes of base ("." the
// current directory, "\\" the root of its drive, "X:" the current directory
// that the system keeps for drive X); false when it cannot tell one.
bool StartAtSystemBase(const char* base, Building* path) {
  char full[kPathSize];
  uint32_t length = plat::FullPathName(base, full, kPathSize);
  const char* rest = nullptr;
  return length != 0 && length < static_cast<uint32_t>(kPathSize) &&
         StartAtRoot(full, path, &rest) && AddNames(path, rest);
}

// Starts path where text starts; *rest gets the names that follow.
bool Start(const char* text, Building* path, const char** rest) {
  if (IsSeparator(text[0]) && IsSeparator(text[1])) {
    return StartAtRoot(text, path, rest);
  }
  if (!IsAsciiLetter(text[0]) || text[1] != ':') {
    *rest = text;
    return StartAtSystemBase(IsSeparator(text[0]) ? "\\" : ".", path);
  }
  if (IsSeparator(text[2])) return StartAtRoot(text, path, rest);
  const char drive[3] = {text[0], ':', '\0'};
  *rest = text + 2;
  return StartAtSystemBase(drive, path) &&
         path->text[0] == UpperAscii(text[0]) && path->rootLength == 2;
}

}  // namespace

PathForm NormalizePath(const char* text, char* out) {
  out[0] = '\0';
  if (IsDeviceSpelling(text)) return PathForm::Device;
  Building path;
  const char* rest = nullptr;
  if (text[0] == '\0' || !Start(text, &path, &rest) ||
      !AddNames(&path, rest)) {
    return PathForm::Untold;
  }
  if (path.length == path.rootLength && !Append(&path, "\\", 1)) {
    return PathForm::Untold;
  }
  if (path.length >= static_cast<size_t>(kPathSize)) return PathForm::Untold;
  memcpy(out, path.text, path.length + 1);
  return PathForm::Normal;
}
