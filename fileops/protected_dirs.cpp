#include "fileops/protected_dirs.h"

#include <cstring>

#include "control/ascii_chars.h"
#include "control/path_helpers.h"
#include "platform/platform.h"

namespace {

// Room for the current directory and a relative value joined.
constexpr size_t kSpellingSize = 2 * kPathSize;

// A directory spelled one way only: its root ("C:", or "\\SERVER\SHARE")
// and a backslash before each name, in capitals: "C:\WINDOWS\SYSTEM".
struct Spelling {
  char text[kSpellingSize];
  size_t rootLength;
  size_t length;
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t NameLength(const char* text) {
  size_t length = 0;
  while (text[length] != '\0' && !IsSeparator(text[length])) ++length;
  return length;
}

bool Append(Spelling* path, const char* text, size_t count) {
  if (path->length + count >= kSpellingSize) return false;
  for (size_t i = 0; i < count; ++i) {
    path->text[path->length++] = UpperAscii(text[i]);
  }
  path->text[path->length] = '\0';
  return true;
}

bool StartAt(Spelling* path, const char* root, size_t length) {
  path->length = 0;
  path->text[0] = '\0';
  if (!Append(path, root, length)) return false;
  path->rootLength = path->length;
  return true;
}

void BackToParent(Spelling* path) {
  while (path->length > path->rootLength &&
         path->text[--path->length] != '\\') {
  }
  path->text[path->length] = '\0';
}

// Adds the names of rest to path as the system reads them: empty names and
// "." change nothing, ".." goes back to the parent (never above the root),
// trailing dots and blanks are dropped. False for a name that the dropping
// would leave empty, such as "..." (Windows 95 reads it as the grandparent,
// NT as nothing) or ".. ", and for a result too long.
bool AddNames(Spelling* path, const char* rest) {
  for (;;) {
    while (IsSeparator(*rest)) ++rest;
    if (*rest == '\0') return true;
    const char* name = rest;
    size_t length = NameLength(name);
    rest += length;
    size_t dots = 0;
    while (dots < length && name[dots] == '.') ++dots;
    if (dots == length && length <= 2) {
      if (length == 2) BackToParent(path);
      continue;
    }
    while (length > 0 && (name[length - 1] == '.' || name[length - 1] == ' ')) {
      --length;
    }
    if (length == 0) return false;
    if (!Append(path, "\\", 1) || !Append(path, name, length)) return false;
  }
}

bool Resolve(const char* text, Spelling* path, bool fromCurrent);

// The current directory; false when the system cannot tell it.
bool CurrentDirectorySpelling(Spelling* path) {
  char current[kPathSize];
  uint32_t length = plat::CurrentDirectory(current, sizeof current);
  if (length == 0 || length >= sizeof current) return false;
  return Resolve(current, path, false);
}

// "\\SERVER\SHARE\...": the share is the root. "\\?\" and "\\.\" are
// device paths, whose directory is not told here.
bool ResolveNetworkPath(const char* text, Spelling* path) {
  const char* server = text + 2;
  size_t serverLength = NameLength(server);
  if (serverLength == 0 ||
      (serverLength == 1 && (server[0] == '?' || server[0] == '.'))) {
    return false;
  }
  const char* share = server + serverLength + 1;
  if (server[serverLength] == '\0') return false;
  size_t shareLength = NameLength(share);
  if (shareLength == 0) return false;
  if (!StartAt(path, "\\\\", 2) || !Append(path, server, serverLength) ||
      !Append(path, "\\", 1) || !Append(path, share, shareLength)) {
    return false;
  }
  path->rootLength = path->length;
  return AddNames(path, share + shareLength);
}

// The directory that text names, in path. fromCurrent allows names that
// start from the current directory (false while reading that very one).
bool Resolve(const char* text, Spelling* path, bool fromCurrent) {
  if (IsSeparator(text[0]) && IsSeparator(text[1])) {
    return ResolveNetworkPath(text, path);
  }
  if (IsAsciiLetter(text[0]) && text[1] == ':') {
    if (IsSeparator(text[2])) {
      return StartAt(path, text, 2) && AddNames(path, text + 2);
    }
    // "X:NAME" starts from the current directory of drive X, which this
    // program knows only for the drive it runs on.
    return fromCurrent && CurrentDirectorySpelling(path) &&
           path->rootLength == 2 && path->text[0] == UpperAscii(text[0]) &&
           AddNames(path, text + 2);
  }
  if (!fromCurrent || !CurrentDirectorySpelling(path)) return false;
  if (IsSeparator(text[0])) {
    path->length = path->rootLength;
    path->text[path->length] = '\0';
  }
  return AddNames(path, text);
}

// The same directory by its short (8.3) name, when it exists and the
// system gives one.
bool ShortSpelling(const Spelling& path, Spelling* shortPath) {
  char full[kPathSize];
  char shortName[kPathSize];
  if (!CopyPath(full, kPathSize, path.text)) return false;
  // A root needs its backslash to name the root and not the current
  // directory of its drive.
  if (path.length == path.rootLength && !AppendPath(full, kPathSize, "\\")) {
    return false;
  }
  uint32_t length = plat::ShortPathName(full, shortName, sizeof shortName);
  if (length == 0 || length >= sizeof shortName) return false;
  return Resolve(shortName, shortPath, false);
}

// A directory by its long name and, where it has one, its short name.
struct Spellings {
  Spelling each[2];
  int count;
};

bool Spell(const char* text, bool fromCurrent, Spellings* spellings) {
  if (!Resolve(text, &spellings->each[0], fromCurrent)) return false;
  spellings->count =
      ShortSpelling(spellings->each[0], &spellings->each[1]) ? 2 : 1;
  return true;
}

// directory is inner itself or one of the directories that hold it.
bool IsSameOrHolds(const Spelling& directory, const Spelling& inner) {
  return strncmp(directory.text, inner.text, directory.length) == 0 &&
         (inner.text[directory.length] == '\0' ||
          inner.text[directory.length] == '\\');
}

bool HoldsAny(const Spellings& directory, const Spellings& inner) {
  for (int i = 0; i < directory.count; ++i) {
    for (int j = 0; j < inner.count; ++j) {
      if (IsSameOrHolds(directory.each[i], inner.each[j])) return true;
    }
  }
  return false;
}

// A directory as the system reports it (GetWindowsDirectoryA's answer in
// length and directory); false when it could not tell.
bool SpellReported(const char* directory, uint32_t length,
                   Spellings* spellings) {
  return length != 0 && length < kPathSize &&
         Spell(directory, false, spellings);
}

// The named directory is, or holds, the system's directory that the
// report gave, or that cannot be told.
bool HoldsReported(const Spellings& named, const char* directory,
                   uint32_t length) {
  Spellings place;
  return !SpellReported(directory, length, &place) || HoldsAny(named, place);
}

bool NamesEveryFile(const char* name) {
  for (; *name != '\0'; ++name) {
    if (*name != '*' && *name != '?' && *name != '.') return false;
  }
  return true;
}

}  // namespace

bool IsProtectedDirectory(const char* directory) {
  Spellings named;
  if (!Spell(directory, true, &named)) return true;
  if (named.each[0].length == named.each[0].rootLength) return true;
  char place[kPathSize];
  uint32_t length = plat::WindowsDirectory(place, kPathSize);
  if (HoldsReported(named, place, length)) return true;
  length = plat::SystemDirectory(place, kPathSize);
  return HoldsReported(named, place, length);
}

bool IsProtectedTree(const char* directory) {
  bool bareDrive = IsAsciiLetter(directory[0]) && directory[1] == ':' &&
                   directory[2] == '\0';
  return bareDrive || IsProtectedDirectory(directory);
}

bool IsProtectedSweep(const char* pattern, size_t directoryLength) {
  if (!NamesEveryFile(pattern + directoryLength)) return false;
  char directory[kPathSize];
  if (directoryLength >= sizeof directory) return true;
  memcpy(directory, pattern, directoryLength);
  directory[directoryLength] = '\0';
  return IsProtectedDirectory(directory);
}
