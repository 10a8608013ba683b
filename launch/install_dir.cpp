#include "launch/install_dir.h"

#include "control/ascii_chars.h"

bool IsInstallDirectory(const char* path) {
  static const char kInstallDir[] = "c:\\vantoris";
  for (int i = 0; kInstallDir[i] != '\0'; ++i) {
    // A path that ends early stops at its NUL, which matches nothing.
    if (LowerAscii(path[i]) != kInstallDir[i]) return false;
  }
  return true;
}
