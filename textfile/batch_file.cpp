#include "textfile/batch_file.h"
// Not built yet.
void CleanBatchFile(const char*) {}
void RemovePathEntry(LineArray, int, const char*) {}
void BlankMatchingLines(LineArray, int, const char*) {}
