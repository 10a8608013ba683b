#include "fileops/protected_dirs.h"

#include <cstring>

#include "control/ascii_chars.h"
#include "control/normal_path.h"
#include "control/path_helpers.h"
#include "control/shell_folders.h"
#include "platform/platform.h"

namespace {

const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The shared folders of an English Windows 95 below its Windows directory,
// for a PC whose registry names none. Start Menu and Programs hold StartUp,
// and so are held with it.
const char* const kEnglishShellFolders[] = {
    kEnglishDesktop, kEnglishStartUp, "Fonts", "Favorites",
    "Recent", "SendTo", "ShellNew", "NetHood"};

// Far more values than Shell Folders holds: the walk ends even if the
// registry never says that it has no more.
constexpr uint32_t kMostShellFolders = 256;

// One directory by its normal form and, where the system gives one, its
// short form, both in capitals.
struct Spellings {
  char each[2][kPathSize];
  int count;
};

// Windows 95 compares names without regard to case for the letters of the
// code page too: a German "Startmenü" is "STARTMENÜ".
char UpperLetter(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= 0xE0 && u != 0xF7 && u != 0xFF) return static_cast<char>(u - 0x20);
  return UpperAscii(c);
}

void CopyUpper(char* out, const char* text) {
  size_t i = 0;
  for (; text[i] != '\0'; ++i) out[i] = UpperLetter(text[i]);
  out[i] = '\0';
}

void Spell(const char* normal, Spellings* spellings) {
  CopyUpper(spellings->each[0], normal);
  spellings->count = 1;
  char shortName[kPathSize];
  char shortNormal[kPathSize];
  uint32_t length = plat::ShortPathName(normal, shortName, kPathSize);
  if (length > 0 && length < static_cast<uint32_t>(kPathSize) &&
      NormalizePath(shortName, shortNormal) == PathForm::Normal) {
    CopyUpper(spellings->each[1], shortNormal);
    spellings->count = 2;
  }
}

// outer, which is no root, is inner itself or a directory that holds it.
bool IsSameOrHolds(const char* outer, const char* inner) {
  size_t length = strlen(outer);
  return strncmp(outer, inner, length) == 0 &&
         (inner[length] == '\0' || inner[length] == '\\');
}

bool HoldsAny(const Spellings& named, const Spellings& place) {
  for (int i = 0; i < named.count; ++i) {
    for (int j = 0; j < place.count; ++j) {
      if (IsSameOrHolds(named.each[i], place.each[j])) return true;
    }
  }
  return false;
}

// The normal form of a place that the system or the registry gives into
// out; false unless it is an absolute path (a relative registry value
// would name a place that depends on the current directory).
bool NormalPlace(const char* text, char* out) {
  return IsAbsolutePath(text) && NormalizePath(text, out) == PathForm::Normal;
}

// named is, or holds, the place in its normal form.
bool HoldsNormal(const Spellings& named, const char* normal) {
  Spellings place;
  Spell(normal, &place);
  return HoldsAny(named, place);
}

bool HoldsPlace(const Spellings& named, const char* text) {
  char normal[kPathSize];
  return NormalPlace(text, normal) && HoldsNormal(named, normal);
}

// A directory that a system call reported into text (length as the call
// returned it), its normal form stored into normal: true when named holds
// it, or when the system could not tell it.
bool HoldsReported(const Spellings& named, uint32_t length, const char* text,
                   char* normal) {
  return length == 0 || length >= static_cast<uint32_t>(kPathSize) ||
         !NormalPlace(text, normal) || HoldsNormal(named, normal);
}

// named holds the place below base (a normal form) called name.
bool HoldsPlaceBelow(const Spellings& named, const char* base,
                     const char* name) {
  char place[kPathSize];
  return CopyPath(place, kPathSize, base) &&
         AppendName(place, kPathSize, name) && HoldsPlace(named, place);
}

// The registry's Shell Folders, or their English names below windowsDir
// when it gives none.
bool HoldsShellFolder(const Spellings& named, const char* windowsDir) {
  bool anyGiven = false;
  {
    ShellFoldersKey folders;
    for (uint32_t index = 0; index < kMostShellFolders; ++index) {
      char folder[kPathSize];
      ShellFolder read = ReadShellFolder(folders, nullptr, index, folder);
      if (read == ShellFolder::Absent) break;
      char normal[kPathSize];
      if (read == ShellFolder::Unusable || !NormalPlace(folder, normal)) {
        continue;
      }
      anyGiven = true;
      if (HoldsNormal(named, normal)) return true;
    }
  }
  if (anyGiven) return false;
  for (const char* name : kEnglishShellFolders) {
    if (HoldsPlaceBelow(named, windowsDir, name)) return true;
  }
  return false;
}

// "Program Files" and "Common Files" as the registry names them, or below
// the root of the Windows directory's drive.
bool HoldsProgramFiles(const Spellings& named, const char* windowsDir) {
  const char* const values[] = {"ProgramFilesDir", "CommonFilesDir"};
  const char* const english[] = {"Program Files",
                                 "Program Files\\Common Files"};
  plat::RegKey key;
  bool opened = plat::OpenRegKey(plat::kHkeyLocalMachine, kCurrentVersion,
                                 &key) == plat::kRegOk;
  bool holds = false;
  for (int i = 0; i < 2 && !holds; ++i) {
    char folder[kPathSize];
    uint32_t size = kPathSize - 1;
    if (opened && plat::QueryRegValue(key, values[i], folder, &size) ==
                      plat::kRegOk) {
      folder[size] = '\0';
      char normal[kPathSize];
      if (NormalPlace(folder, normal)) {
        holds = HoldsNormal(named, normal);
        continue;
      }
    }
    const char root[4] = {windowsDir[0], windowsDir[1], '\\', '\0'};
    holds = root[1] == ':' && HoldsPlaceBelow(named, root, english[i]);
  }
  if (opened) plat::CloseRegKey(key);
  return holds;
}

}  // namespace

bool IsProtectedDirectory(const char* normal) {
  size_t length = strlen(normal);
  if (length == 0 || normal[length - 1] == '\\') return true;  // a root
  Spellings named;
  Spell(normal, &named);
  char text[kPathSize];
  char windowsDir[kPathSize];
  char place[kPathSize];
  return HoldsReported(named, plat::WindowsDirectory(text, kPathSize), text,
                       windowsDir) ||
         HoldsReported(named, plat::SystemDirectory(text, kPathSize), text,
                       place) ||
         HoldsReported(named, plat::TempDirectory(text, kPathSize), text,
                       place) ||
         HoldsProgramFiles(named, windowsDir) ||
         HoldsShellFolder(named, windowsDir);
}

bool PathHolds(const char* outer, const char* inner) {
  Spellings outerSpellings;
  Spellings innerSpellings;
  Spell(outer, &outerSpellings);
  Spell(inner, &innerSpellings);
  return HoldsAny(outerSpellings, innerSpellings);
}

bool NamesEveryFile(const char* name) {
  size_t length = strlen(name);
  while (length > 0 && (name[length - 1] == ' ' || name[length - 1] == '.')) {
    --length;
  }
  static const char kWild[] = "*?.<>\"";
  for (size_t i = 0; i < length; ++i) {
    if (memchr(kWild, name[i], sizeof kWild - 1) == nullptr) return false;
  }
  return true;
}
