// Path macros at the very start of a path value: the Windows and system
// directories, and the PC's shared folders of the Start menu and Desktop,
// whose names differ by language.
#pragma once

// The length of the macro that source begins with, 0 when it begins with
// none. The macros, always in capitals:
//
//   %WINDIR%     the Windows directory
//   %WINSYS%     the system directory
//   %STARTMENU%  the Start menu          \  as the Shell Folders values
//   %PROGRAMS%   its Programs folder      | Start Menu, Programs, Desktop
//   %DESKTOP%    the Desktop              | and Startup name them, or
//   %STARTUP%    the StartUp folder      /  their English names below the
//                                           Windows directory where the
//                                           registry names none
int LeadingMacroLength(const char* source);

// Writes source into dest (size bytes) with its leading macro replaced by
// the directory it stands for (at most one macro, nothing inserted where
// they meet). The result is cut to size - 1 characters; returns false when
// it was cut or the directory could not be told (a shared folder whose
// registry value is too long or relative included), so that a caller never
// acts on a path that names another file.
bool ExpandPathMacros(char* dest, int size, const char* source);

// The same with the Windows and system directories given instead of asked
// of the system (for judging a control file against a machine described by
// hand); the shared folders are then their English names below windowsDir.
bool ExpandPathMacrosWith(char* dest, int size, const char* source,
                          const char* windowsDir, const char* systemDir);

// The Windows directory, a backslash unless it already ends in one, and
// name, into out (kPathSize bytes). False when the system cannot tell the
// directory or the path does not fit.
bool WindowsDirectoryPath(char* out, const char* name);
