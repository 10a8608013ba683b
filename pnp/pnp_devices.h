// Removing the card's ISA Plug and Play device keys.
#pragma once

// Removes every HKLM\ENUM\ISAPNP subkey whose name begins (case-sensitive)
// with an id of [pnpids]. False when the ISAPNP or the Class key did not
// open (nothing is removed then).
bool RemovePnpDevices(const char* controlPath);
