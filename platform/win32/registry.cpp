// Registry and private-profile calls of platform.h.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_util.h"

namespace plat {

uint32_t ReadProfileString(const char* section, const char* key,
                           const char* def, char* out, uint32_t size,
                           const char* path) {
  if (size == 0) return 0;
  return GetPrivateProfileStringA(section, key, def, out, size, path);
}

long OpenRegKey(RegKey parent, const char* path, RegKey* out) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExA(win32::ToHkey(parent), path, 0,
                                    KEY_ALL_ACCESS, &opened);
  *out = result == ERROR_SUCCESS ? win32::FromHkey(opened) : 0;
  return result;
}

long EnumRegSubkey(RegKey key, uint32_t index, char* name, uint32_t size) {
  return RegEnumKeyA(win32::ToHkey(key), index, name, size);
}

long QueryRegValue(RegKey key, const char* name, void* data, uint32_t* size) {
  DWORD stored = *size;
  const LONG result =
      RegQueryValueExA(win32::ToHkey(key), name, nullptr, nullptr,
                       static_cast<BYTE*>(data), &stored);
  *size = stored;
  return result;
}

long EnumRegValue(RegKey key, uint32_t index, void* data, uint32_t* size) {
  // Value names of Windows 95 have at most 255 characters.
  char name[256];
  DWORD nameSize = sizeof name;
  DWORD stored = *size;
  const LONG result =
      RegEnumValueA(win32::ToHkey(key), index, name, &nameSize, nullptr,
                    nullptr, static_cast<BYTE*>(data), &stored);
  *size = stored;
  return result;
}

long DeleteRegValue(RegKey key, const char* name) {
  return RegDeleteValueA(win32::ToHkey(key), name);
}

long CloseRegKey(RegKey key) { return RegCloseKey(win32::ToHkey(key)); }

namespace {

// Key names are at most 255 characters on every Windows registry.
constexpr DWORD kKeyNameSize = 256;

// Deletes every key below key, depth first. Each level has its own name
// buffer on the stack. After a successful deletion the next subkey moves to
// the same index; a subkey that cannot be deleted is stepped over so that
// the loop always ends.
void DeleteSubkeys(HKEY key) {
  char name[kKeyNameSize];
  DWORD index = 0;
  while (RegEnumKeyA(key, index, name, kKeyNameSize) == ERROR_SUCCESS) {
    HKEY child = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_ALL_ACCESS, &child) == ERROR_SUCCESS) {
      DeleteSubkeys(child);
      RegCloseKey(child);
    }
    if (RegDeleteKeyA(key, name) != ERROR_SUCCESS) ++index;
  }
}

}  // namespace

// Windows 95 deletes a key with its whole subtree; Windows NT and Wine
// refuse a key that still has subkeys. Emptying the key first gives the
// Windows 95 result everywhere.
long DeleteRegTree(RegKey parent, const char* path) {
  // An empty path would open the parent itself and empty it: refuse it, as
  // deleting "no key" must never delete the parent's subkeys.
  if (path == nullptr || path[0] == '\0') return ERROR_BADKEY;
  const HKEY parentKey = win32::ToHkey(parent);
  HKEY key = nullptr;
  if (RegOpenKeyExA(parentKey, path, 0, KEY_ALL_ACCESS, &key) ==
      ERROR_SUCCESS) {
    DeleteSubkeys(key);
    RegCloseKey(key);
  }
  // Also reached when the key did not open: RegDeleteKeyA then reports why
  // (usually ERROR_FILE_NOT_FOUND).
  return RegDeleteKeyA(parentKey, path);
}

}  // namespace plat
