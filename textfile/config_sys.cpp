#include "textfile/config_sys.h"
// Not built yet.
void RestoreEmm386() {}
void FixConfigSys() {}
void ReplaceMemoryManagerLine(LineArray, int, const char*) {}
