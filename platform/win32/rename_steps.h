// The Windows 95 way of putting one file in another's place, which has no
// MoveFileExA: renames in steps. The same steps run in the Win32 layer on
// Windows 95 and in the fake machine's Windows 95 personality; each layer
// gives the three calls they are made of (the Win32 layer: renames.cpp; the
// fake: fake_win95.cpp), and replace_by_renaming.cpp, which includes no
// system header, builds the replacement and its recovery from them.
#pragma once

namespace win32 {

// --- given by each layer ---

// GetFileAttributesA finds a file or directory of that name.
bool NameTaken(const char* path);
// MoveFileA: never replaces an existing file.
bool MoveName(const char* from, const char* to);
// DeleteFileA.
bool DeleteName(const char* path);

// --- replace_by_renaming.cpp ---

// The old file goes aside to target + ".~old", the replacement is renamed
// into its place, and the aside file is deleted; a failure on the way puts
// the old file back, so false leaves target as it was. An aside file that is
// already there belongs to an earlier replacement that was cut short, or to
// a file that another program wrote in the place of one cut short: it is
// never deleted here, but renamed to the first free of target + ".~o1" to
// ".~o9" (false when none is free). A missing target whose old file lies
// aside gets it back first. targetExists tells whether target is there.
bool ReplaceByRenaming(const char* replacement, const char* target,
                       bool targetExists);

// When target is missing and target + ".~old" is there, renames it back.
// True when target exists afterwards.
bool RecoverAside(const char* target);

}  // namespace win32
