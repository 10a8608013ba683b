// Renames and replacements of platform.h, and the Win32 calls behind the
// Windows 95 replacement steps (rename_steps.h).
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/rename_steps.h"

namespace win32 {

bool NameTaken(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool MoveName(const char* from, const char* to) {
  return MoveFileA(from, to) != FALSE;
}

bool DeleteName(const char* path) { return DeleteFileA(path) != FALSE; }

}  // namespace win32

namespace plat {

namespace {

using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

// MoveFileExA is looked up rather than imported: Windows 95 has at most a
// stub of it, and a missing import would keep the program from loading.
MoveFileExFn FindMoveFileEx() {
  const HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  if (!kernel) return nullptr;
  return reinterpret_cast<MoveFileExFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExA")));
}

}  // namespace

bool RenameFile(const char* from, const char* to) {
  return win32::MoveName(from, to);
}

// Windows NT and Wine replace the target in one step with MoveFileExA.
// Windows 95's MoveFileExA is a stub that fails with
// ERROR_CALL_NOT_IMPLEMENTED; there the replacement is renamed into place.
// A read-only target (or a directory) is never replaced, on any system.
bool ReplaceFileWith(const char* replacement, const char* target) {
  const DWORD attributes = GetFileAttributesA(target);
  const bool targetExists = attributes != INVALID_FILE_ATTRIBUTES;
  if (targetExists &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  const MoveFileExFn moveFileEx = FindMoveFileEx();
  if (moveFileEx) {
    if (moveFileEx(replacement, target, MOVEFILE_REPLACE_EXISTING)) {
      return true;
    }
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  }
  return win32::ReplaceByRenaming(replacement, target, targetExists);
}

void RecoverReplacedFile(const char* target) { win32::RecoverAside(target); }

}  // namespace plat
