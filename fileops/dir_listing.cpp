#include "fileops/dir_listing.h"

#include "platform/platform.h"

bool IsDirectoryEntry(uint32_t attributes) {
  return (attributes & plat::kAttrDirectory) != 0;
}

bool IsLinkEntry(uint32_t attributes) {
  return (attributes & plat::kAttrReparsePoint) != 0;
}

bool IsDotNamedDirectory(uint32_t attributes, const char* name) {
  return IsDirectoryEntry(attributes) && name[0] == '.';
}

Listing ListEntries(const char* pattern, bool skipDotNamedDirs,
                    EntryList* list) {
  plat::FindData found;
  plat::FindHandle find = plat::FindFirst(pattern, &found);
  if (find == plat::kNoFind) return Listing::Whole;
  Listing result = Listing::Whole;
  do {
    // The system's name field always holds a zero; make sure of it anyway.
    found.name[sizeof found.name - 1] = '\0';
    if (skipDotNamedDirs && IsDotNamedDirectory(found.attributes, found.name))
      continue;
    if (!AddToEntryList(list, found.attributes, found.name)) {
      result = Listing::Part;
      break;
    }
  } while (plat::FindNext(find, &found));
  plat::FindEnd(find);
  return result;
}

namespace {

// Acts on every listed entry in order; false at the first failure.
bool ActOnList(const EntryList* list, EntryAction action, void* context) {
  size_t offset = 0;
  uint32_t attributes = 0;
  while (const char* name = NextEntry(list, &offset, &attributes)) {
    if (!action(context, attributes, name)) return false;
  }
  return true;
}

}  // namespace

bool ActOnEntries(const char* pattern, bool skipDotNamedDirs,
                  EntryAction action, void* context) {
  for (;;) {
    EntryList list;
    InitEntryList(&list);
    Listing listing = ListEntries(pattern, skipDotNamedDirs, &list);
    bool listedAny = list.count > 0;
    bool done = ActOnList(&list, action, context);
    FreeEntryList(&list);
    if (!done) return false;
    if (listing == Listing::Whole) return true;
    // The heap ran out: the entries acted on are gone, so a new search
    // starts with the first one left, as a restarting search would.
    if (!listedAny) return false;
  }
}
