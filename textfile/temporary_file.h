// Files written whole beside their target before they take its name (a
// saved start-up file, a copy): their names, the test that tells an earlier
// run's leftover under such a name from a file of the user's, and the byte
// comparison that test and the memory manager's check share.
#pragma once

#include "platform/platform.h"
#include "textfile/line_file.h"

// How the bytes of file a stand to those of file b.
enum class ByteMatch {
  Unreadable,    // either file could not be read whole
  Different,
  ProperPrefix,  // a holds the start of b, and less than b
  Same,
};
ByteMatch CompareFileBytes(const char* a, const char* b);

// What a temporary file is made of, and so all that an earlier run's
// leftover of it can hold.
struct TemporaryContent {
  const char* source;  // a copy of this file; null for lines
  LineArray lines;     // lines 0..count-1, written without the empty ones
  int count;
};

// Makes the temporary file for target: the same directory and name with the
// extension (added when there is none) ".$$$", or the first of ".$00" to
// ".$99" whose name is free and not the target's own, so that the last step
// is a rename on one drive. Earlier runs' leftovers of the same content
// under these names are deleted first, up to the first free name, so that
// they do not pile up: a file that holds the start of the source's bytes;
// or lines that are all among the lines to write or those of the target's
// ".BAK" file (where the system's start-up keeps a WININIT.INI it carried
// out), the last perhaps cut short. Deleting one loses nothing. Any other
// file under such a name is a file of the user's and stays as it is. With
// content.source the file is a copy of it (CopyOneFile, never over a
// file); otherwise it is created empty (CreateNewFile) and *file is its
// handle. Its name goes into name (kPathSize bytes). False when no name is
// free or fits, or the system refuses to create the file.
bool CreateTemporary(const char* target, const TemporaryContent& content,
                     char* name, plat::FileHandle* file);

// Deletes a temporary file; a copy has its source's attributes, so they are
// cleared first.
void DropTemporary(const char* name);

// Puts a whole copy of source at target: made beside it under a temporary
// name (CreateTemporary), then renamed into place, so that no cut leaves a
// part of it under the target's name. With replace the copy takes the place
// of a file that is there (ReplaceFileWith); without, a file that is there
// stays and the copy fails (RenameFile never replaces one). False, with
// nothing left beside the target, when the copy could not be placed.
bool PlaceCopy(const char* source, const char* target, bool replace);
