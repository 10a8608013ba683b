// Message boxes and device-change broadcasts of platform.h.
#include <windows.h>

#include "platform/platform.h"

static_assert(sizeof(DWORD) == sizeof(uint32_t),
              "the recipients word is passed to Win32 as a DWORD");

// Windows 95's USER32 exports only the plain BroadcastSystemMessage, without
// the A and W forms that winuser.h maps the name to (an import of
// BroadcastSystemMessageA would keep the program from loading there). NT
// and Wine export the plain name as well, as the ANSI form.
#undef BroadcastSystemMessage
extern "C" __declspec(dllimport) LONG WINAPI BroadcastSystemMessage(
    DWORD flags, LPDWORD recipients, UINT message, WPARAM wparam,
    LPARAM lparam);

namespace plat {

int ShowMessage(const char* text, const char* title, uint32_t style) {
  return MessageBoxA(nullptr, text, title, style);
}

long BroadcastDeviceChange(uint32_t flags, uint32_t* recipients,
                           uint32_t message, uint32_t wparam,
                           DevBroadcastDevnode* record) {
  // The system writes the recipients it reached back into *recipients.
  return BroadcastSystemMessage(flags, reinterpret_cast<DWORD*>(recipients),
                                message, wparam,
                                reinterpret_cast<LPARAM>(record));
}

}  // namespace plat
