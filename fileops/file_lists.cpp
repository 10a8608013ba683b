#include "fileops/file_lists.h"
// Not built yet.
void RunCopyList(const char*) {}
void RunDeleteList(const char*) {}
void RunMultiDeleteList(const char*) {}
void RunDeltreeList(const char*) {}
void DeleteTree(const char*) {}
void DeleteTreeContents(const char*) {}
