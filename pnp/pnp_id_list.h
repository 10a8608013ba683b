// The list of the card's Plug and Play ids as read from [pnpids]: ids one
// after another, each zero-terminated, an empty string closing the list.
#pragma once

constexpr int kPnpIdListSize = 4096;
constexpr int kPnpIdValueSize = 25;   // 24 characters and the terminator
constexpr int kPnpIdListLimit = 4070; // stop reading past this many bytes

// Reads [pnpids] into list (kPnpIdListSize bytes): ids one after another,
// each zero-terminated, one more zero byte closing the list. Returns the
// number of ids.
int ReadPnpIdList(const char* controlPath, char* list);

// True when name begins with one of the ids of list: the first k bytes of
// name equal an id of k characters, letter case distinguished. An id longer
// than name never matches.
bool MatchesPnpId(const char* list, const char* name);
