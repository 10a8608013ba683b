#include "launch/entry.h"
// Not built yet.
int RunEntry(const char*) { return 1; }
