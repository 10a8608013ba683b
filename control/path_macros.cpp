#include "control/path_macros.h"

#include <cstring>

#include "control/path_helpers.h"
#include "control/shell_folders.h"
#include "platform/platform.h"

namespace {

struct Macro {
  const char* name;
  // A shared folder's English path below the Windows directory, whose last
  // name is also that of its Shell Folders value; null for the Windows and
  // system directories.
  const char* english;
};

const Macro kMacros[] = {
    {"%WINDIR%", nullptr},
    {"%WINSYS%", nullptr},
    {"%STARTMENU%", "Start Menu"},
    {"%PROGRAMS%", "Start Menu\\Programs"},
    {"%DESKTOP%", kEnglishDesktop},
    {"%STARTUP%", kEnglishStartUp},
};

// %WINDIR% rather than %WINSYS%.
bool IsWindowsMacro(const Macro& macro) { return macro.name[4] == 'D'; }

// The Shell Folders value of a shared folder (letter case does not count).
const char* ValueName(const Macro& macro) {
  const char* last = strrchr(macro.english, '\\');
  return last != nullptr ? last + 1 : macro.english;
}

const Macro* LeadingMacro(const char* source) {
  for (const Macro& macro : kMacros) {
    if (strncmp(source, macro.name, strlen(macro.name)) == 0) return &macro;
  }
  return nullptr;
}

// Copies as much of source as fits after the text already in dest; returns
// false when something was dropped.
bool AppendCut(char* dest, int size, const char* source) {
  size_t have = strlen(dest);
  size_t room = static_cast<size_t>(size) - 1 - have;
  size_t add = strlen(source);
  bool fits = add <= room;
  if (!fits) add = room;
  memcpy(dest + have, source, add);
  dest[have + add] = '\0';
  return fits;
}

// The one expansion rule: source as it is when it begins with no macro,
// else the directory of its macro (null when it could not be told) and the
// rest of the value after the macro.
bool Expand(char* dest, int size, const char* source, const Macro* macro,
            const char* directory) {
  if (size <= 0) return false;
  dest[0] = '\0';
  if (macro == nullptr) return AppendCut(dest, size, source);
  bool fits = directory != nullptr;
  if (fits) fits = AppendCut(dest, size, directory);
  return AppendCut(dest, size, source + strlen(macro->name)) && fits;
}

// A directory the system reports into out (kPathSize bytes) with its
// length; null when it could not tell it or it does not fit.
const char* Told(uint32_t length, char* out) {
  if (length == 0 || length >= static_cast<uint32_t>(kPathSize)) return nullptr;
  out[length] = '\0';
  return out;
}

// The directory the macro stands for on this PC into out (kPathSize
// bytes), or null.
const char* AskDirectory(const Macro& macro, char* out) {
  if (macro.english == nullptr) {
    return Told(IsWindowsMacro(macro) ? plat::WindowsDirectory(out, kPathSize)
                                      : plat::SystemDirectory(out, kPathSize),
                out);
  }
  {
    ShellFoldersKey folders;
    ShellFolder read = ReadShellFolder(folders, ValueName(macro), 0, out);
    if (read != ShellFolder::Absent) {
      return read == ShellFolder::Given ? out : nullptr;
    }
  }
  return WindowsDirectoryPath(out, macro.english) ? out : nullptr;
}

}  // namespace

int LeadingMacroLength(const char* source) {
  const Macro* macro = LeadingMacro(source);
  return macro ? static_cast<int>(strlen(macro->name)) : 0;
}

bool ExpandPathMacros(char* dest, int size, const char* source) {
  const Macro* macro = LeadingMacro(source);
  char directory[kPathSize];
  return Expand(dest, size, source, macro,
                macro ? AskDirectory(*macro, directory) : nullptr);
}

bool ExpandPathMacrosWith(char* dest, int size, const char* source,
                          const char* windowsDir, const char* systemDir) {
  const Macro* macro = LeadingMacro(source);
  char folder[kPathSize];
  const char* directory = nullptr;
  if (macro != nullptr && macro->english != nullptr) {
    // As WindowsDirectoryPath joins them.
    if (windowsDir != nullptr && CopyPath(folder, kPathSize, windowsDir) &&
        AppendName(folder, kPathSize, macro->english)) {
      directory = folder;
    }
  } else if (macro != nullptr) {
    directory = IsWindowsMacro(*macro) ? windowsDir : systemDir;
  }
  return Expand(dest, size, source, macro, directory);
}

bool WindowsDirectoryPath(char* out, const char* name) {
  return Told(plat::WindowsDirectory(out, kPathSize), out) != nullptr &&
         AppendName(out, kPathSize, name);
}
