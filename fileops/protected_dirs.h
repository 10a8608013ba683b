// The directories that a typing error in a control file must not empty:
//
//   - every drive root ("C:\", "\\SERVER\SHARE\");
//   - the Windows, system and temporary directories;
//   - the shared folders of the PC: the values of the key
//     HKEY_CURRENT_USER\...\Explorer\Shell Folders (Desktop, Start Menu,
//     Programs, StartUp, Fonts, ..., whose names differ by language), or,
//     when that key gives none, their English names below the Windows
//     directory; and the values ProgramFilesDir and CommonFilesDir of
//     HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion, or
//     "Program Files" and "Program Files\Common Files" on the Windows
//     directory's drive (the full key paths: protected_dirs.cpp);
//   - every directory that holds one of them.
//
// Each is protected as a whole: a directory inside one (the card's own
// group below Programs) is not. [deltree] passes over a protected
// directory, [multdel] a pattern that names every file of one.
//
// Directories are compared by their normal forms (control/normal_path.h)
// and by the short (8.3) forms of both sides, letter case ignored, so
// "C:\PROGRA~1\..\WINDOWS", "C:\WINDOW~1" for a long-named Windows
// directory, "C:\WINDOWS." and "c:/windows/" all name the Windows
// directory. When the system cannot tell its Windows, system or temporary
// directory, every directory counts as protected.
#pragma once

// True when normal, a normal form, is a protected directory (or cannot be
// told apart from one).
bool IsProtectedDirectory(const char* normal);

// True when outer, a normal form other than a root, is inner (a normal
// form) or a directory that holds it, compared as directories are above:
// by normal and short forms, letter case ignored.
bool PathHolds(const char* outer, const char* inner);

// True when name, the last part of a [multdel] pattern, names every file:
// once the blanks and dots at its end are dropped, as the system drops
// them, it holds only "*", "?" and "." (or the characters that NT-family
// searches take for wildcards: "<", ">", '"').
bool NamesEveryFile(const char* name);
