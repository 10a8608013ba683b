// hold_open: keeps files open the way a running program keeps its drivers
// open, so that nobody can delete them until it lets go.
//
//   hold_open <stop file> <file>... [--timeout S]
//
// Opens every file for reading without sharing anything (no read, write or
// delete sharing), prints "held <file>" for each and then "ready", and keeps
// them open until the stop file exists (polled every 100 ms) or the timeout
// passes (default 600 s). Exit 0 when every file was held until the stop
// file came, 1 when a file could not be opened (nothing is held then), 2
// when the timeout passed first, 3 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxFiles = 32;

bool Exists(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void CloseAll(HANDLE* handles, int count) {
  for (int i = 0; i < count; ++i) CloseHandle(handles[i]);
}

}  // namespace

int main(int argc, char** argv) {
  const char* stop = nullptr;
  const char* files[kMaxFiles];
  int count = 0;
  double timeout = 600.0;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
      timeout = atof(argv[++i]);
    } else if (!stop) {
      stop = argv[i];
    } else if (count < kMaxFiles) {
      files[count++] = argv[i];
    } else {
      fprintf(stderr, "hold_open: at most %d files\n", kMaxFiles);
      return 3;
    }
  }
  if (!stop || count == 0 || timeout <= 0) {
    fprintf(stderr, "usage: hold_open STOP-FILE FILE... [--timeout S]\n");
    return 3;
  }

  HANDLE handles[kMaxFiles];
  for (int i = 0; i < count; ++i) {
    handles[i] = CreateFileA(files[i], GENERIC_READ, 0, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handles[i] == INVALID_HANDLE_VALUE) {
      fprintf(stderr, "hold_open: cannot open %s (error %lu)\n", files[i],
              GetLastError());
      CloseAll(handles, i);
      return 1;
    }
    printf("held %s\n", files[i]);
  }
  printf("ready\n");
  fflush(stdout);

  const DWORD start = GetTickCount();
  while (!Exists(stop)) {
    if (GetTickCount() - start > static_cast<DWORD>(timeout * 1000)) {
      fprintf(stderr, "hold_open: no stop file within %.0f s\n", timeout);
      CloseAll(handles, count);
      return 2;
    }
    Sleep(100);
  }
  CloseAll(handles, count);
  return 0;
}
