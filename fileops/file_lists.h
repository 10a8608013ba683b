// The control file's [copy], [delete], [multdel] and [deltree] lists, one
// source each, and the tree removal they share.
//
// Each list is read key by key ("FROM1"/"TO1", ... in [copy], "1", "2", ...
// elsewhere) up to the first missing or empty value, and each entry is acted
// on as soon as it is read, in its normal form (fileops/list_targets.h). A
// value whose text or expansion is too long for a path, or that names a
// place in the NT or device namespaces or one that cannot be told, is
// passed over. Nothing is reported: a failing entry is passed over (or, in
// [delete], left to the next start) and the list goes on.
#pragma once

#include <cstddef>

// --- copy_list.cpp ---
// Copies FROMn over TOn; an empty FROMn or TOn ends the list.
void RunCopyList(const char* controlPath);

// --- delete_list.cpp ---
// Deletes each file, handing every one that is there but cannot be deleted
// (in use, read-only) to ScheduleDeleteOnReboot. Returns the number of
// files it could neither delete nor enter in WININIT.INI.
int RunDeleteList(const char* controlPath);

// --- multi_delete.cpp ---
// Deletes each pattern's matches in search order; the first match that
// cannot be deleted (a directory, ".", read-only, in use) ends that pattern.
void RunMultiDeleteList(const char* controlPath);
// The length of a [multdel] pattern's directory part: up to and including
// its last ":", backslash or "/" (0 when it has none).
size_t DirectoryPartLength(const char* pattern);

// --- deltree_list.cpp ---
// DeleteTree on each directory.
void RunDeltreeList(const char* controlPath);

// --- delete_tree.cpp ---
// Removes the directory and everything below it, depth first; stops in a
// directory at the first entry that cannot be removed, and directories whose
// names begin with "." are neither entered nor removed, so the directories
// above one stay. A directory link (the named directory too) is never
// entered: at most the link itself is removed.
void DeleteTree(const char* directory);
// The same, leaving the directory itself.
void DeleteTreeContents(const char* directory);
