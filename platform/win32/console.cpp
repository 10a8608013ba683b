// The system's family and a console program's standard streams.
#include <windows.h>

#include "platform/platform.h"

namespace {

bool WriteAll(HANDLE handle, const char* bytes, uint32_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes, size, &written, nullptr) || written == 0) {
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

}  // namespace

namespace plat {

// GetVersion sets its top bit on Windows 95, 98 and Me (GetVersionEx, which
// says more, came to Windows 95 only with its later releases).
bool NtFamilySystem() { return (GetVersion() & 0x80000000u) == 0; }

bool WriteStandard(StandardStream stream, const void* bytes, uint32_t size) {
  HANDLE handle = GetStdHandle(stream == StandardStream::Output
                                   ? STD_OUTPUT_HANDLE
                                   : STD_ERROR_HANDLE);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return false;
  const char* text = static_cast<const char*>(bytes);
  uint32_t start = 0;
  for (uint32_t i = 0; i < size; ++i) {
    if (text[i] != '\n') continue;
    if (!WriteAll(handle, text + start, i - start) ||
        !WriteAll(handle, "\r\n", 2)) {
      return false;
    }
    start = i + 1;
  }
  return WriteAll(handle, text + start, size - start);
}

}  // namespace plat
