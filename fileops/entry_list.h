// A growable heap block of directory entries (attribute bits and name), in
// the order they were added.
//
// The wildcard deletion and the tree removal read a directory once into such
// a list and then act on the entries in order, instead of searching again
// after every removal.
#pragma once

#include <cstddef>
#include <cstdint>

struct EntryList {
  char* block;      // records: 4 attribute bytes, then the name and its zero
  size_t used;      // bytes of block in use
  size_t capacity;  // bytes allocated
  int count;        // records stored
};

void InitEntryList(EntryList* list);

// Adds one record; false (the list unchanged) when the heap is exhausted.
bool AddToEntryList(EntryList* list, uint32_t attributes, const char* name);

// Walks the records: start with *offset = 0; each call returns the next name
// and its attributes, or nullptr after the last record.
const char* NextEntry(const EntryList* list, size_t* offset,
                      uint32_t* attributes);

// Gives the block back to the heap and empties the list.
void FreeEntryList(EntryList* list);
