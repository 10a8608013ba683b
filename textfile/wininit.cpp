#include "textfile/wininit.h"
// Not built yet.
void ScheduleDeleteOnReboot(const char*) {}
