#include "seldchk/heap_block.h"

#include <cstring>

#include "platform/platform.h"

void* GrownBlock(void* block, size_t* capacity, size_t used, size_t needed,
                 size_t itemSize) {
  if (needed <= *capacity) return block;
  size_t room = *capacity < 16 ? 16 : *capacity;
  while (room < needed) {
    if (room > static_cast<size_t>(-1) / 2) return nullptr;
    room *= 2;
  }
  if (room > static_cast<size_t>(-1) / itemSize) return nullptr;
  void* grown = plat::Allocate(room * itemSize);
  if (grown == nullptr) return nullptr;
  if (used > 0) memcpy(grown, block, used * itemSize);
  plat::Release(block);
  *capacity = room;
  return grown;
}
