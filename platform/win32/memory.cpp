// The heap of platform.h: the process heap.
#include <windows.h>

#include "platform/platform.h"

namespace plat {

void* Allocate(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void Release(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace plat
