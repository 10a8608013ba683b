// bench_fileops: the file lists on a real (Wine) file system, for
// scripts/bench_fileops.sh.
//
//   bench_fileops deltree <control file>   RunDeltreeList
//   bench_fileops multdel <control file>   RunMultiDeleteList
//   bench_fileops none                     start-up alone
//
// Prints the milliseconds spent in the operation itself on stdout; the
// script times the whole process.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "fileops/file_lists.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: bench_fileops <mode> [control file]\n");
    return 1;
  }
  const char* mode = argv[1];
  const char* arg = argc > 2 ? argv[2] : "";
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  NotDone notDone;
  StartNotDone(&notDone);
  QueryPerformanceCounter(&start);
  if (strcmp(mode, "deltree") == 0) {
    RunDeltreeList(arg, &notDone);
  } else if (strcmp(mode, "multdel") == 0) {
    RunMultiDeleteList(arg, &notDone);
  } else if (strcmp(mode, "none") != 0) {
    fprintf(stderr, "unknown mode %s\n", mode);
    return 1;
  }
  QueryPerformanceCounter(&end);
  printf("%.1f\n", (end.QuadPart - start.QuadPart) * 1000.0 /
                       static_cast<double>(frequency.QuadPart));
  return 0;
}
