// Deleting files at the next start through WININIT.INI [rename] "NUL=" lines.
#pragma once

// Adds "NUL=" and the file's path (its short form when the file exists and
// has one) directly under the first [rename] header of WININIT.INI in the
// Windows directory. Returns whether the entry was written.
bool ScheduleDeleteOnReboot(const char* path);
