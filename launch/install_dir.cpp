#include "launch/install_dir.h"

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

}  // namespace

bool IsInstallDirectory(const char* path) {
  static const char kInstallDir[] = "c:\\vantoris";
  for (int i = 0; kInstallDir[i] != '\0'; ++i) {
    // A path that ends early stops at its NUL, which matches nothing.
    if (LowerAscii(path[i]) != kInstallDir[i]) return false;
  }
  return true;
}
