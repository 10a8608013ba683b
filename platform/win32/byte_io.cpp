// Byte-level file I/O of platform.h and the replacement of a file by another.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_util.h"

namespace plat {

FileHandle OpenForRead(const char* path) {
  return win32::FromHandle(CreateFileA(
      path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle CreateForWrite(const char* path) {
  if (win32::IsReadOnly(path)) return kNoFile;
  return win32::FromHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
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

bool CloseFile(FileHandle file) {
  if (file == kNoFile) return false;
  return CloseHandle(win32::ToHandle(file)) != FALSE;
}

}  // namespace plat

namespace win32 {

// The Windows 95 way, without MoveFileExA: move the target aside, move the
// replacement into its place, then drop the old target. Any failure on the
// way puts the old target back, so false still leaves it as it was.
bool ReplaceByRenaming(const char* replacement, const char* target,
                       bool targetExists) {
  if (!targetExists) return MoveFileA(replacement, target) != FALSE;
  char aside[MAX_PATH + 8];
  if (!win32::CopyText(aside, sizeof aside, target) ||
      !win32::AppendText(aside, sizeof aside, ".~old")) {
    return false;
  }
  // The target exists, so an aside file is a leftover of a replacement cut
  // short after its last step; without this every later replacement of the
  // file would fail, since MoveFileA never overwrites.
  if (GetFileAttributesA(aside) != INVALID_FILE_ATTRIBUTES &&
      !DeleteFileA(aside)) {
    return false;
  }
  if (!MoveFileA(target, aside)) return false;
  if (!MoveFileA(replacement, target)) {
    MoveFileA(aside, target);
    return false;
  }
  DeleteFileA(aside);
  return true;
}

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

}  // namespace plat
