// Message boxes and device-change broadcasts of platform.h.
#include <windows.h>

#include "platform/platform.h"

static_assert(sizeof(DWORD) == sizeof(uint32_t),
              "the recipients word is passed to Win32 as a DWORD");

namespace plat {

int ShowMessage(const char* text, const char* title, uint32_t style) {
  return MessageBoxA(nullptr, text, title, style);
}

long BroadcastDeviceChange(uint32_t flags, uint32_t* recipients,
                           uint32_t message, uint32_t wparam,
                           DevBroadcastDevnode* record) {
  // The system writes the recipients it reached back into *recipients.
  return BroadcastSystemMessageA(flags, reinterpret_cast<DWORD*>(recipients),
                                 message, wparam,
                                 reinterpret_cast<LPARAM>(record));
}

}  // namespace plat
