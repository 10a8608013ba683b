// [regdel]: the card's keys and values elsewhere in the registry (its own
// software keys, its Add/Remove Programs entry, the Run value of its tray
// program).
#pragma once

#include "control/not_done.h"

// Removes each entry's key with everything below it, or the one value it
// names (pnp/registry_target.h), in key order. A key or value that is not
// there is passed over. Noted for the closing box: a malformed or
// protected entry (Kept), and a key or value that was there and stayed
// (NotDeleted).
void RunRegistryList(const char* controlPath, NotDone* notDone);
