// Whether a directory is the card's install directory or lies below it.
#pragma once

// True when the first 11 characters of path are "c:\VANTORIS" in any letter
// case. Only those characters count: C:\VANTORIS2 matches, a shorter path
// does not.
bool IsInstallDirectory(const char* path);
