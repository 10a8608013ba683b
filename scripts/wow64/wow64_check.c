/* A 32-bit Windows program for scripts/wow64/prepare.sh: prints the
 * system directory it sees (C:\windows\syswow64 or C:\windows\system32 for
 * a 32-bit program on a 64-bit system, as the Wine build decides) and exits
 * with the width of its pointers, 32, which is what proves it ran as a
 * 32-bit program. */
#include <windows.h>
#include <stdio.h>

int main(void) {
  char dir[MAX_PATH];
  UINT len = GetSystemDirectoryA(dir, sizeof dir);
  printf("%s\n", len > 0 && len < sizeof dir ? dir : "?");
  return (int)(sizeof(void*) * 8);
}
