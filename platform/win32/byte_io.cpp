// Byte-level file I/O of platform.h.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_util.h"

namespace plat {

FileHandle OpenForRead(const char* path) {
  return win32::FromHandle(CreateFileA(
      path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle CreateNewFile(const char* path) {
  return win32::FromHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
}

long ReadBytes(FileHandle file, void* buf, uint32_t size) {
  if (file == kNoFile) return -1;
  DWORD read = 0;
  if (!ReadFile(win32::ToHandle(file), buf, size, &read, nullptr)) return -1;
  return static_cast<long>(read);
}

bool WriteBytes(FileHandle file, const void* buf, uint32_t size) {
  if (file == kNoFile) return false;
  const char* next = static_cast<const char*>(buf);
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(win32::ToHandle(file), next, size, &written, nullptr)) {
      return false;
    }
    // A write that reports success but moves nothing would loop forever.
    if (written == 0 || written > size) return false;
    next += written;
    size -= written;
  }
  return true;
}

bool FlushFile(FileHandle file) {
  if (file == kNoFile) return false;
  return FlushFileBuffers(win32::ToHandle(file)) != FALSE;
}

bool CloseFile(FileHandle file) {
  if (file == kNoFile) return false;
  return CloseHandle(win32::ToHandle(file)) != FALSE;
}

}  // namespace plat
