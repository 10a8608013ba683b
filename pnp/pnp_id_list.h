// The list of the card's Plug and Play ids as read from [pnpids]: ids one
// after another, each zero-terminated, an empty string closing the list.
#pragma once

constexpr int kPnpIdListSize = 4096;
constexpr int kPnpIdValueSize = 25;   // 24 characters and the terminator
constexpr int kPnpIdListLimit = 4070; // stop reading past this many bytes

// The most bytes the list takes: up to the limit, then one more id whole
// and the zero byte that closes the list.
constexpr int kLongestPnpIdList = kPnpIdListLimit + kPnpIdValueSize + 1;
static_assert(kLongestPnpIdList <= kPnpIdListSize,
              "an id read at the limit and the closing zero byte fit");

// Reads [pnpids] into list (kPnpIdListSize bytes): ids one after another,
// each zero-terminated, one more zero byte closing the list. Returns the
// number of ids.
int ReadPnpIdList(const char* controlPath, char* list);

// True when name begins with one of the ids of list: the first k bytes of
// name equal an id of k characters, letter case distinguished. An id longer
// than name never matches.
bool MatchesPnpId(const char* list, const char* name);
