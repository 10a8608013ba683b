// The PC's shared folders (Start menu, Programs, Desktop, StartUp, Fonts,
// ...) as the values of the key
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders
// name them. Their names follow the language of the
// PC's Windows: a German Windows 95 keeps its Programs folder in
// C:\WINDOWS\Startmenü\Programme. The path macros and the protected-directory
// guard both read them here.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The key, open for as long as the guard lives; not open when the PC has
// none.
struct ShellFoldersKey {
  ShellFoldersKey();
  ~ShellFoldersKey();
  ShellFoldersKey(const ShellFoldersKey&) = delete;
  ShellFoldersKey& operator=(const ShellFoldersKey&) = delete;
  plat::RegKey key;
  bool open;
};

enum class ShellFolder {
  Absent,    // no such value (no key, or past the last value)
  Unusable,  // there, but longer than a path or not an absolute path
  Given,     // its path is stored
};

// The folder of the value called name (such as "Programs"), or with name
// null of the value at index whatever its name, into out (kPathSize
// bytes); out is empty unless the result is Given.
ShellFolder ReadShellFolder(const ShellFoldersKey& folders, const char* name,
                            uint32_t index, char* out);

// Where an English Windows keeps two of them below its Windows directory,
// for a PC whose registry names none. StartUp lies in Programs, which lies
// in the Start Menu.
extern const char kEnglishDesktop[];  // "Desktop"
extern const char kEnglishStartUp[];  // "Start Menu\Programs\StartUp"

// "X:\" or "X:/" at the start, or "\\" (a network path): a place that does
// not depend on a current directory.
bool IsAbsolutePath(const char* text);
