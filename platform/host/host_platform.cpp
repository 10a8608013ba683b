#include <cstring>

#include "platform/host/host_machine.h"
#include "platform/platform.h"
#include "platform/profile/profile_reader.h"

namespace {

// ERROR_FILE_NOT_FOUND and ERROR_INVALID_HANDLE, as the system answers.
constexpr long kNoSuchKey = 2;
constexpr long kBadHandle = 6;

host::Machine g_machine = {nullptr, nullptr, 0, nullptr, nullptr, nullptr};

// The Win32 convention of the directory calls: the length stored, the size
// needed when out is too small, 0 when the system cannot tell.
uint32_t Report(const char* text, char* out, uint32_t size) {
  if (text == nullptr) return 0;
  size_t length = strlen(text);
  if (out == nullptr || size <= length) {
    return static_cast<uint32_t>(length + 1);
  }
  memcpy(out, text, length + 1);
  return static_cast<uint32_t>(length);
}

bool IsTheProfile(const char* path) {
  if (path == nullptr || g_machine.profilePath == nullptr) return false;
  return CompareProfileNames(path, strlen(path), g_machine.profilePath,
                             strlen(g_machine.profilePath)) == 0;
}

}  // namespace

namespace host {

void UseMachine(const Machine& machine) { g_machine = machine; }

}  // namespace host

namespace plat {

uint32_t ReadProfileString(const char* section, const char* key,
                           const char* def, char* out, uint32_t size,
                           const char* path) {
  if (out == nullptr || size == 0) return 0;
  if (!IsTheProfile(path)) return StoreProfileDefault(def, out, size);
  return LookUpProfileString(g_machine.profileBytes, g_machine.profileSize,
                             section, key, def, out, size);
}

uint32_t CurrentDirectory(char* out, uint32_t size) {
  return Report(g_machine.currentDir, out, size);
}

uint32_t WindowsDirectory(char* out, uint32_t size) {
  return Report(g_machine.windowsDir, out, size);
}

uint32_t SystemDirectory(char* out, uint32_t size) {
  return Report(g_machine.systemDir, out, size);
}

// Windows 95 keeps its temporary files in TEMP below the Windows directory
// unless told otherwise: the guards hold that one.
uint32_t TempDirectory(char* out, uint32_t size) {
  static const char kTemp[] = "\\TEMP\\";
  if (g_machine.windowsDir == nullptr) return 0;
  size_t length = strlen(g_machine.windowsDir);
  size_t need = length + sizeof kTemp;  // the terminator included
  if (out == nullptr || size < need) return static_cast<uint32_t>(need);
  memcpy(out, g_machine.windowsDir, length);
  memcpy(out + length, kTemp, sizeof kTemp);
  return static_cast<uint32_t>(need - 1);
}

// The bases that the program's paths start from: "." the current directory,
// "\\" the root of its drive, "X:" the current directory of drive X (the
// current directory on its own drive, the root on any other). Without a
// current directory none can be told.
uint32_t FullPathName(const char* path, char* out, uint32_t size) {
  const char* current = g_machine.currentDir;
  if (path == nullptr || current == nullptr || current[0] == '\0' ||
      current[1] != ':') {
    return 0;
  }
  if (strcmp(path, ".") == 0) return Report(current, out, size);
  char root[4] = {current[0], ':', '\\', '\0'};
  if (strcmp(path, "\\") == 0) return Report(root, out, size);
  if (path[0] == '\0' || path[1] != ':' || path[2] != '\0') return 0;
  if (UpperAscii(path[0]) == UpperAscii(current[0])) {
    return Report(current, out, size);
  }
  root[0] = path[0];
  return Report(root, out, size);
}

// ------------------------------------------------ nothing else is there

uint32_t ShortPathName(const char*, char*, uint32_t) { return 0; }
bool ChangeDirectory(const char*) { return false; }

long OpenRegKey(RegKey, const char*, RegKey*) { return kNoSuchKey; }
long EnumRegSubkey(RegKey, uint32_t, char*, uint32_t) { return kBadHandle; }
long QueryRegValue(RegKey, const char*, void*, uint32_t*) {
  return kBadHandle;
}
long EnumRegValue(RegKey, uint32_t, void*, uint32_t*) { return kBadHandle; }
long DeleteRegTree(RegKey, const char*) { return kBadHandle; }
long DeleteRegValue(RegKey, const char*) { return kBadHandle; }
long CloseRegKey(RegKey) { return kBadHandle; }

long BroadcastDeviceChange(uint32_t, uint32_t*, uint32_t, uint32_t,
                           DevBroadcastDevnode*) {
  return -1;
}

bool CopyOneFile(const char*, const char*, bool) { return false; }
bool RemoveFile(const char*) { return false; }
bool RemoveListedFile(const char*, uint32_t) { return false; }
bool RemoveDir(const char*) { return false; }
uint32_t FileAttributes(const char*) { return kInvalidAttributes; }
bool ChangeFileAttributes(const char*, uint32_t) { return false; }

FindHandle FindFirst(const char*, FindData*) { return kNoFind; }
bool FindNext(FindHandle, FindData*) { return false; }
void FindEnd(FindHandle) {}

FileHandle OpenForRead(const char*) { return kNoFile; }
long ReadBytes(FileHandle, void*, uint32_t) { return -1; }
FileHandle CreateForWrite(const char*) { return kNoFile; }
bool WriteBytes(FileHandle, const void*, uint32_t) { return false; }
bool CloseFile(FileHandle) { return false; }
bool ReplaceFileWith(const char*, const char*) { return false; }

void* Allocate(size_t) { return nullptr; }
void Release(void*) {}

long RunAndWait(const char*, const char*) { return -1; }
void StartAndExit(const char*, const char*) {}

int ShowMessage(const char*, const char*, uint32_t) { return 0; }

}  // namespace plat
