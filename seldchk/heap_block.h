// Room on the heap (plat::Allocate) for what grows with the control file:
// its bytes, its lines, the findings.
#pragma once

#include <cstddef>

// Room for at least needed items of itemSize bytes where block holds
// *capacity of them: block itself when it has the room, else a new block
// holding its first used items, twice as large as needed growing one by one
// takes (block is released). Null, with block and *capacity as they were,
// when the heap has no such room or its size would overflow.
void* GrownBlock(void* block, size_t* capacity, size_t used, size_t needed,
                 size_t itemSize);
