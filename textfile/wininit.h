// Deleting files at the next start through WININIT.INI [rename] "NUL=" lines.
#pragma once

// Adds "NUL=" and the absolute 8.3 path of the file at path (a normal form,
// control/normal_path.h) directly under the first [rename] header of
// WININIT.INI in the Windows directory: the short form of path, at most 79
// characters, as real-mode DOS reads it at the next start. True when the
// entry was written; false, with nothing written, when the file has no such
// path (it is not there, a name of it has no short form, the path is too
// long) or WININIT.INI cannot be written safely.
bool ScheduleDeleteOnReboot(const char* path);

// Whether the file at path has the absolute 8.3 path that an entry needs.
bool HasDosPath(const char* path);
