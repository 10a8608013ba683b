/* A 32-bit Windows program for scripts/wow64/prepare.sh: prints the
 * system directory it sees (C:\windows\syswow64 for a 32-bit program on a
 * 64-bit system) and exits with the width of its pointers, 32. */
#include <windows.h>
#include <stdio.h>

int main(void) {
  char dir[MAX_PATH];
  UINT len = GetSystemDirectoryA(dir, sizeof dir);
  printf("%s\n", len > 0 && len < sizeof dir ? dir : "?");
  return (int)(sizeof(void*) * 8);
}
