// Files, directories and directory searches of platform.h.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_util.h"

namespace plat {

bool CopyOneFile(const char* from, const char* to, bool failIfExists) {
  if (win32::IsReadOnly(to)) return false;
  return CopyFileA(from, to, failIfExists ? TRUE : FALSE) != FALSE;
}

bool RemoveFile(const char* path) {
  if (win32::IsReadOnly(path)) return false;
  return DeleteFileA(path) != FALSE;
}

bool RemoveListedFile(const char* path, uint32_t listedAttributes) {
  if ((listedAttributes & kAttrReadOnly) != 0) return false;
  return DeleteFileA(path) != FALSE;
}

bool RemoveDir(const char* path) {
  // A link or junction is never handed to RemoveDirectoryA, whatever its
  // reparse tag: Wine fills in no tag and removes the (empty) directory a
  // link points to instead of the link. A link left behind is harmless; its
  // target lost is not. Attributes that cannot be read refuse too.
  constexpr DWORD kRefused =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT;
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kRefused) != 0) {
    return false;
  }
  return RemoveDirectoryA(path) != FALSE;
}

uint32_t FileAttributes(const char* path) {
  // INVALID_FILE_ATTRIBUTES is 0xFFFFFFFF, the same as kInvalidAttributes.
  return GetFileAttributesA(path);
}

bool ChangeFileAttributes(const char* path, uint32_t attributes) {
  // Windows 95 takes "no attributes" only as FILE_ATTRIBUTE_NORMAL.
  const DWORD wanted = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  return SetFileAttributesA(path, wanted) != FALSE;
}

namespace {

void CopyFound(const WIN32_FIND_DATAA& found, FindData* out) {
  out->attributes = found.dwFileAttributes;
  // cFileName is MAX_PATH (260) bytes like out->name; never longer.
  if (!win32::CopyText(out->name, sizeof out->name, found.cFileName)) {
    out->name[0] = '\0';
  }
}

}  // namespace

FindHandle FindFirst(const char* pattern, FindData* out) {
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA(pattern, &found);
  const FindHandle result = win32::FromHandle(find);
  if (result != kNoFind) {
    CopyFound(found, out);
  } else if (find != INVALID_HANDLE_VALUE) {
    FindClose(find);
  }
  return result;
}

bool FindNext(FindHandle find, FindData* out) {
  if (find == kNoFind) return false;
  WIN32_FIND_DATAA found;
  if (!FindNextFileA(win32::ToHandle(find), &found)) return false;
  CopyFound(found, out);
  return true;
}

void FindEnd(FindHandle find) {
  if (find != kNoFind) FindClose(win32::ToHandle(find));
}

uint32_t CurrentDirectory(char* out, uint32_t size) {
  return GetCurrentDirectoryA(size, out);
}

uint32_t TempDirectory(char* out, uint32_t size) {
  return GetTempPathA(size, out);
}

uint32_t WindowsDirectory(char* out, uint32_t size) {
  return GetWindowsDirectoryA(out, size);
}

uint32_t SystemDirectory(char* out, uint32_t size) {
  return GetSystemDirectoryA(out, size);
}

uint32_t ShortPathName(const char* path, char* out, uint32_t size) {
  return GetShortPathNameA(path, out, size);
}

uint32_t FullPathName(const char* path, char* out, uint32_t size) {
  char* namePart = nullptr;
  return GetFullPathNameA(path, size, out, &namePart);
}

bool ChangeDirectory(const char* path) {
  return SetCurrentDirectoryA(path) != FALSE;
}

}  // namespace plat
