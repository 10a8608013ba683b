// Helpers shared by the Win32 implementation of platform.h: the mapping
// between the platform's integer handles and Win32 handles, and bounded
// string copies for the few paths this layer builds itself.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/platform.h"

namespace win32 {

// The predefined registry keys (HKEY_CLASSES_ROOT ... HKEY_DYN_DATA) are
// the 32-bit constants 0x80000000 to 0x80000006, which <windows.h> sign-
// extends into a pointer: on 64-bit Windows HKEY_LOCAL_MACHINE is
// 0xFFFFFFFF80000002, not 0x80000002. plat::RegKey keeps the 32-bit value,
// so both directions must convert those keys explicitly; every other key
// is an opened handle and passes through unchanged.
constexpr uintptr_t kPredefinedFirst = 0x80000000u;
constexpr uintptr_t kPredefinedLast = 0x80000006u;

HKEY ToHkey(plat::RegKey key);
plat::RegKey FromHkey(HKEY key);

// File and find handles: the platform's "none" value is 0, Win32's is
// INVALID_HANDLE_VALUE.
HANDLE ToHandle(uintptr_t handle);
uintptr_t FromHandle(HANDLE handle);

// True when path exists and carries the read-only attribute. Windows
// refuses to delete, overwrite or replace such a file (or to remove such a
// directory); Wine running as root does not, so the layer checks itself.
bool IsReadOnly(const char* path);

// Copies source into dest of size bytes when it fits whole, else leaves
// dest empty and returns false.
bool CopyText(char* dest, uint32_t size, const char* source);
// Appends tail when the result fits whole, else leaves dest unchanged and
// returns false.
bool AppendText(char* dest, uint32_t size, const char* tail);
uint32_t TextLength(const char* text);

}  // namespace win32
