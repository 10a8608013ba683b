// One file search read whole into an EntryList.
#pragma once

#include <cstdint>

#include "fileops/entry_list.h"

enum class Listing {
  Whole,  // every match is in the list (possibly none)
  Part,   // the heap ran out: the list holds the first matches only
};

// Is a directory: attribute bit 0x10.
bool IsDirectoryEntry(uint32_t attributes);
// Is a link or junction (attribute bit 0x400): its contents, if any, are
// elsewhere, so the tree removal never enters it (nor can it remove it).
bool IsLinkEntry(uint32_t attributes);
// Is a directory whose name begins with "." ("." and ".." among them);
// such directories are never entered nor removed by the tree removal.
bool IsDotNamedDirectory(uint32_t attributes, const char* name);

// Runs one search for pattern (FindFirst, FindNext up to the end, FindEnd)
// and adds the matches to list in search order, leaving out dot-named
// directories when skipDotNamedDirs is set. The search is always ended
// before this returns.
Listing ListEntries(const char* pattern, bool skipDotNamedDirs,
                    EntryList* list);

// What to do with one entry; false when it could not be removed.
using EntryAction = bool (*)(void* context, uint32_t attributes,
                             const char* name);

// Acts on the matches of pattern in search order and stops at the first
// action that fails; returns false then. Equal to searching afresh after
// every removal and taking the first match (dot-named directories skipped
// when asked), as long as nothing else changes the directory, but each
// match is read once. Should the heap run out while listing, the matches
// listed so far are acted on and a fresh search picks up the rest; when not
// even one match can be listed, that counts as a failure.
bool ActOnEntries(const char* pattern, bool skipDotNamedDirs,
                  EntryAction action, void* context);
