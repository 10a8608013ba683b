#include "fileops/entry_list.h"

#include <cstring>

#include "platform/platform.h"

namespace {

// Big enough for a typical directory's names in one allocation.
constexpr size_t kFirstCapacity = 2048;

// Makes room for need more bytes, doubling the block; false when the heap
// refuses (the list keeps its old block).
bool Reserve(EntryList* list, size_t need) {
  if (list->capacity - list->used >= need) return true;
  size_t capacity = list->capacity != 0 ? list->capacity : kFirstCapacity;
  while (capacity - list->used < need) capacity *= 2;
  char* grown = static_cast<char*>(plat::Allocate(capacity));
  if (grown == nullptr) return false;
  if (list->used != 0) memcpy(grown, list->block, list->used);
  if (list->block != nullptr) plat::Release(list->block);
  list->block = grown;
  list->capacity = capacity;
  return true;
}

}  // namespace

void InitEntryList(EntryList* list) {
  list->block = nullptr;
  list->used = 0;
  list->capacity = 0;
  list->count = 0;
}

bool AddToEntryList(EntryList* list, uint32_t attributes, const char* name) {
  size_t nameBytes = strlen(name) + 1;
  size_t need = sizeof attributes + nameBytes;
  if (!Reserve(list, need)) return false;
  char* record = list->block + list->used;
  memcpy(record, &attributes, sizeof attributes);
  memcpy(record + sizeof attributes, name, nameBytes);
  list->used += need;
  ++list->count;
  return true;
}

const char* NextEntry(const EntryList* list, size_t* offset,
                      uint32_t* attributes) {
  if (*offset >= list->used) return nullptr;
  const char* record = list->block + *offset;
  memcpy(attributes, record, sizeof *attributes);
  const char* name = record + sizeof *attributes;
  *offset += sizeof *attributes + strlen(name) + 1;
  return name;
}

void FreeEntryList(EntryList* list) {
  if (list->block != nullptr) plat::Release(list->block);
  InitEntryList(list);
}
