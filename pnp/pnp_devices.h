// Removing the card's ISA Plug and Play device keys.
#pragma once

// Removes every HKLM\ENUM\ISAPNP subkey whose name begins (case-sensitive)
// with an id of [pnpids]. Returns 1 when both registry keys opened, else 0.
int RemovePnpDevices(const char* controlPath);
