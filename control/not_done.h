// What a run could not do, for the closing box, and the files that the file
// lists must leave where they are because a step that needed them failed.
// The uninstall sequence owns one record; its steps add to it. Fixed
// buffers: the first few steps not done are described, the rest counted.
#pragma once

#include <cstddef>

#include "control/path_helpers.h"

// Steps described in the closing box; a count stands for the rest.
constexpr int kNotDoneShown = 3;
// Files the lists can be told to leave; one more leaves every file.
constexpr int kKeptFileSlots = 8;
// Room the closing box needs beyond the closing text for the lines of
// AppendNotDone.
constexpr int kNotDoneTextSize = kNotDoneShown * (kPathSize + 16) + 80;

// In the order of the labels in not_done.cpp.
enum class NotDoneKind {
  NotChanged,  // a start-up file that needed an edit was not changed
  NotCopied,   // a copy (named by its target) was not made
  Kept,        // left in place: passed over by a guard, or still needed
  NotDeleted,  // neither deleted nor entered in WININIT.INI
};

struct NotDone {
  int count;  // every step not done, described or not
  NotDoneKind kinds[kNotDoneShown];
  char paths[kNotDoneShown][kPathSize];
  int keptCount;
  // A file to keep found no slot: from then on the lists leave every file.
  bool keptOverflow;
  char kept[kKeptFileSlots][kPathSize];
  char keptShort[kKeptFileSlots][kPathSize];  // the short form, or ""
};

void StartNotDone(NotDone* record);

// One step not done; path names what it concerns (cut to fit).
void NoteNotDone(NotDone* record, NotDoneKind kind, const char* path);

// The lists leave the file at path in place from now on. Not noted: the
// caller notes what it kept, when it is there. False when it was kept
// already.
bool KeepFile(NotDone* record, const char* path);

// True when the lists must leave the file at path: it was kept, under this
// spelling or the same short (8.3) form, letter case aside;
// or kept files found no slot, and every file stays (noted as Kept then).
bool MustKeep(NotDone* record, const char* path);

// Appends to the text in the buffer (size bytes) the built-in lines that
// name what was not done: nothing when everything was done. With
// kNotDoneTextSize bytes to spare after the text every line fits whole;
// with less they are cut.
void AppendNotDone(const NotDone& record, char* text, size_t size);
