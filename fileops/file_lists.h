// The control file's [copy], [delete], [multdel] and [deltree] lists, one
// source each, and the tree removal they share.
//
// Each list is read key by key ("FROM1"/"TO1", ... in [copy], "1", "2", ...
// elsewhere) up to the first missing or empty value, and each entry is acted
// on as soon as it is read, in its normal form (fileops/list_targets.h). A
// value whose text or expansion is too long for a path is passed over; one
// that names a place in the NT or device namespaces, one that cannot be
// told, or a protected one is passed over and noted as kept. A failing
// entry is passed over (or, in [delete], left to the next start) and the
// list goes on; what could not be done is noted in the run's record
// (control/not_done.h), and every file that the record keeps is passed over
// by the deleting lists.
#pragma once

#include <cstddef>

#include "control/not_done.h"

// --- copy_list.cpp ---
// Copies FROMn over TOn; an empty FROMn or TOn ends the list. The copy is
// made whole beside TOn and then takes its place. A copy that fails while
// FROMn is there is noted, and FROMn kept.
void RunCopyList(const char* controlPath, NotDone* notDone);

// --- delete_list.cpp ---
// Deletes each file, handing every one that is there but cannot be deleted
// (in use, read-only) to ScheduleDeleteOnReboot; a file that can be
// neither deleted nor entered in WININIT.INI is noted.
void RunDeleteList(const char* controlPath, NotDone* notDone);

// --- multi_delete.cpp ---
// Deletes each pattern's matches in search order; the first match that
// cannot be deleted (a directory, ".", read-only, in use) ends that pattern,
// and is noted when it is a file. A kept file is passed over.
void RunMultiDeleteList(const char* controlPath, NotDone* notDone);
// The length of a [multdel] pattern's directory part: up to and including
// its last ":", backslash or "/" (0 when it has none).
size_t DirectoryPartLength(const char* pattern);

// --- deltree_list.cpp ---
// DeleteTree on each directory.
void RunDeltreeList(const char* controlPath, NotDone* notDone);

// --- delete_tree.cpp ---
// Removes the directory and everything below it, depth first; stops in a
// directory at the first entry that cannot be removed (noted), and
// directories whose names begin with "." are neither entered nor removed,
// so the directories above one stay. A kept file is passed over, and the
// directories above it stay. A directory link (the named directory too) is
// neither entered nor removed, so the directories above it stay too.
void DeleteTree(const char* directory, NotDone* notDone);
// The same, leaving the directory itself.
void DeleteTreeContents(const char* directory, NotDone* notDone);
