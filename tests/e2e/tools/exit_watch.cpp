// exit_watch: observes the exit code of a process that someone else starts,
// such as the copy of SELDUNAX.EXE that the first run hands over to (the
// first run ends at once, so no parent is left to wait for the copy).
//
//   exit_watch <program path> [--timeout S]
//
// Polls the process list (every 20 ms) for a process whose image is the
// given file (full path, any letter case), waits for it to end and prints
// "started <pid>", then "exit <code>". Exit 0 when a process was watched to
// its end, 2 when none started within the timeout (default 120 s) or it did
// not end within the timeout after it started, 1 on a usage error.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* BaseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') base = p + 1;
  }
  return base;
}

// The process of that image, opened for waiting and its exit code; null
// when none runs.
HANDLE FindProcess(const char* image, DWORD* pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  HANDLE found = nullptr;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry)) {
    if (_stricmp(BaseName(entry.szExeFile), BaseName(image)) != 0) continue;
    HANDLE process = OpenProcess(
        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
        entry.th32ProcessID);
    if (!process) continue;
    char path[MAX_PATH];
    DWORD size = sizeof path;
    if (QueryFullProcessImageNameA(process, 0, path, &size) &&
        _stricmp(path, image) == 0) {
      found = process;
      *pid = entry.th32ProcessID;
    } else {
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  double timeout = 120.0;
  const char* image = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
      timeout = atof(argv[++i]);
    } else if (!image) {
      image = argv[i];
    } else {
      image = nullptr;
      break;
    }
  }
  if (!image || timeout <= 0) {
    fprintf(stderr, "usage: exit_watch PROGRAM-PATH [--timeout S]\n");
    return 1;
  }
  const DWORD limit = static_cast<DWORD>(timeout * 1000);

  DWORD pid = 0;
  HANDLE process = nullptr;
  const DWORD start = GetTickCount();
  while (!(process = FindProcess(image, &pid))) {
    if (GetTickCount() - start > limit) {
      fprintf(stderr, "exit_watch: %s did not start within %.0f s\n", image,
              timeout);
      return 2;
    }
    Sleep(20);
  }
  printf("started %lu\n", pid);
  fflush(stdout);

  if (WaitForSingleObject(process, limit) != WAIT_OBJECT_0) {
    fprintf(stderr, "exit_watch: %s still runs after %.0f s\n", image,
            timeout);
    CloseHandle(process);
    return 2;
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  printf("exit %lu\n", code);
  fflush(stdout);
  return 0;
}
