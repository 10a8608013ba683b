#include "platform/win32/win32_util.h"

namespace win32 {

HKEY ToHkey(plat::RegKey key) {
  if (key >= kPredefinedFirst && key <= kPredefinedLast) {
    // Sign-extend as the <windows.h> constants do.
    return reinterpret_cast<HKEY>(
        static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(key))));
  }
  return reinterpret_cast<HKEY>(key);
}

plat::RegKey FromHkey(HKEY key) {
  const intptr_t value = reinterpret_cast<intptr_t>(key);
  const intptr_t first = static_cast<int32_t>(kPredefinedFirst);
  const intptr_t last = static_cast<int32_t>(kPredefinedLast);
  if (value >= first && value <= last) {
    return static_cast<plat::RegKey>(static_cast<uint32_t>(value));
  }
  return reinterpret_cast<plat::RegKey>(key);
}

HANDLE ToHandle(uintptr_t handle) {
  return handle == 0 ? INVALID_HANDLE_VALUE
                     : reinterpret_cast<HANDLE>(handle);
}

uintptr_t FromHandle(HANDLE handle) {
  // A handle of 0 is never returned by CreateFile or FindFirstFile; treat
  // it as a failure too rather than let it alias "none".
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return 0;
  return reinterpret_cast<uintptr_t>(handle);
}

bool IsReadOnly(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

uint32_t TextLength(const char* text) {
  uint32_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

bool CopyText(char* dest, uint32_t size, const char* source) {
  if (size == 0) return false;
  const uint32_t length = TextLength(source);
  if (length >= size) {
    dest[0] = '\0';
    return false;
  }
  for (uint32_t i = 0; i <= length; ++i) dest[i] = source[i];
  return true;
}

bool AppendText(char* dest, uint32_t size, const char* tail) {
  const uint32_t start = TextLength(dest);
  const uint32_t length = TextLength(tail);
  if (start >= size || length >= size - start) return false;
  for (uint32_t i = 0; i <= length; ++i) dest[start + i] = tail[i];
  return true;
}

}  // namespace win32
