// The list of the card's Plug and Play ids as read from [pnpids]: ids one
// after another, each zero-terminated, an empty string closing the list.
#pragma once

// True when name begins with one of the ids of list: the first k bytes of
// name equal an id of k characters, letter case distinguished. An id longer
// than name never matches.
bool MatchesPnpId(const char* list, const char* name);
