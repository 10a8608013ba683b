// bench_fileops: times the file list code on a real (Wine) file system.
//
//   bench_fileops deltree <control file>   RunDeltreeList
//   bench_fileops multdel <control file>   RunMultiDeleteList
//   bench_fileops restart-tree <dir>       a search restarted after every
//                                          removal (for comparison)
//   bench_fileops restart-multdel <pattern>
//   bench_fileops none                     start-up alone
//
// Prints the milliseconds spent in the operation itself on stdout; the
// process start-up is timed by the caller.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "fileops/file_lists.h"

namespace {

// The tree removal done the slow way: a new search after every removal.
// Same order and stops as DeleteTree; kept here only as a yardstick.
bool RestartTreeContents(const char* dir) {
  char pattern[MAX_PATH];
  snprintf(pattern, sizeof pattern, "%s\\*.*", dir);
  for (;;) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE) return true;
    bool more = true;
    while (more && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           found.cFileName[0] == '.') {
      more = FindNextFileA(find, &found) != 0;
    }
    FindClose(find);
    if (!more) return true;
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s", dir, found.cFileName);
    bool removed;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RestartTreeContents(path);
      removed = RemoveDirectoryA(path) != 0;
    } else {
      removed = DeleteFileA(path) != 0;
    }
    if (!removed) return false;
  }
}

void RestartMultiDelete(const char* pattern) {
  size_t dirLength = strlen(pattern);
  while (dirLength > 0 && pattern[dirLength - 1] != '\\' &&
         pattern[dirLength - 1] != ':') {
    --dirLength;
  }
  for (;;) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE) return;
    FindClose(find);
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%.*s%s", static_cast<int>(dirLength),
             pattern, found.cFileName);
    if (!DeleteFileA(path)) return;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: bench_fileops <mode> [argument]\n");
    return 1;
  }
  const char* mode = argv[1];
  const char* arg = argc > 2 ? argv[2] : "";
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (strcmp(mode, "deltree") == 0) {
    RunDeltreeList(arg);
  } else if (strcmp(mode, "multdel") == 0) {
    RunMultiDeleteList(arg);
  } else if (strcmp(mode, "restart-tree") == 0) {
    RestartTreeContents(arg);
    RemoveDirectoryA(arg);
  } else if (strcmp(mode, "restart-multdel") == 0) {
    RestartMultiDelete(arg);
  } else if (strcmp(mode, "none") != 0) {
    fprintf(stderr, "unknown mode %s\n", mode);
    return 1;
  }
  QueryPerformanceCounter(&end);
  printf("%.1f\n", (end.QuadPart - start.QuadPart) * 1000.0 /
                       static_cast<double>(frequency.QuadPart));
  return 0;
}
