// What an entry of a path list acts on: its value (macros expanded) brought
// to the normal form (control/normal_path.h), or why it is passed over.
// The lists and the control-file checker both ask here, so that what the
// checker reports is what the program does.
#pragma once

#include <cstddef>

enum class ListTarget {
  Act,        // the target is stored
  Device,     // "\??\", "\\?\" or "\\.\": a namespace Windows 95 lacks
  Untold,     // what the value names cannot be told (PathForm::Untold)
  Protected,  // a protected directory, or every file of one
};

// [copy] and [delete]: the file, in its normal form, into path (kPathSize
// bytes).
ListTarget FileTarget(const char* value, char* path);

// [multdel]: the normal form of the pattern's directory part (up to its last
// ":", "\" or "/"; the current directory when it has none), a backslash, and
// the pattern's last part as written, into pattern (kPathSize bytes);
// *directoryLength is the length up to and including that backslash.
// Protected when the last part names every file of a protected directory.
ListTarget SweepTarget(const char* value, char* pattern,
                       size_t* directoryLength);

// [deltree]: the directory, in its normal form, into directory (kPathSize
// bytes). Protected for a protected directory, and for a bare drive ("C:"),
// which names the current directory of that drive but is far likelier to
// be a root written short.
ListTarget TreeTarget(const char* value, char* directory);
