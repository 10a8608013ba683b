// The control file's [copy], [delete], [multdel] and [deltree] lists.
#pragma once

void RunCopyList(const char* controlPath);
void RunDeleteList(const char* controlPath);
void RunMultiDeleteList(const char* controlPath);
void RunDeltreeList(const char* controlPath);

// Removes the directory and everything below it, depth first; stops in a
// directory at the first entry that cannot be removed.
void DeleteTree(const char* directory);
void DeleteTreeContents(const char* directory);
