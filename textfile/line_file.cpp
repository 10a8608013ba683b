#include "textfile/line_file.h"
// Not built yet.
LineArray LoadTextLines(const char*, int*) { return nullptr; }
int SaveTextLines(LineArray, const char*, int) { return 1; }
void FreeTextLines(LineArray, int) {}
char* DuplicateLine(const char*) { return nullptr; }
