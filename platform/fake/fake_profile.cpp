// The private-profile reader of the fake machine: the rules of
// platform/profile over the INI file's bytes in the fake file system, with
// an index of the lines that decide look-ups, kept while the file is
// unchanged: the fuzz targets look up thousands of keys an input.
#include <algorithm>
#include <cstdint>

#include "platform/fake/fake_internal.h"

namespace fake {

namespace {

// Orders by name, and lines of one name in file order (spans lie in the
// bytes in that order), so that the first of each name comes first.
template <typename Item>
void SortFirstOfEachName(const char* bytes, std::vector<Item>* items) {
  auto compare = [bytes](const Item& a, const Item& b) {
    return CompareProfileNames(bytes + a.name.begin, a.name.length,
                               bytes + b.name.begin, b.name.length);
  };
  std::sort(items->begin(), items->end(),
            [&compare](const Item& a, const Item& b) {
              int order = compare(a, b);
              return order != 0 ? order < 0 : a.name.begin < b.name.begin;
            });
  items->erase(std::unique(items->begin(), items->end(),
                           [&compare](const Item& a, const Item& b) {
                             return compare(a, b) == 0;
                           }),
               items->end());
}

// Reads the INI bytes once into their index: the first section of each
// name and in it the first line of each key name, which alone decide a
// look-up.
void BuildIndex(const std::string& ini, ProfileReading reading,
                IniIndex* index) {
  index->bytes = ini;
  index->reading = reading;
  index->text.resize(ini.size());
  index->text.resize(ProfileText(ini.data(), ini.size(), reading,
                                 &index->text[0], nullptr));
  index->sections.clear();
  const char* bytes = index->text.data();
  ProfileCursor cursor = StartProfile(bytes, index->text.size(), reading);
  ProfileLine line;
  while (NextProfileLine(&cursor, &line)) {
    if (line.kind == ProfileLineKind::Section) {
      index->sections.push_back(IniIndex::Section{line.name, {}});
    } else if (line.kind == ProfileLineKind::Key) {
      index->sections.back().keys.push_back(
          IniIndex::Key{line.name, line.hasValue, line.value});
    }
  }
  for (IniIndex::Section& section : index->sections) {
    SortFirstOfEachName(bytes, &section.keys);
  }
  SortFirstOfEachName(bytes, &index->sections);
}

// The entry of items (sorted by name, names unique) named name, or null.
template <typename Item>
const Item* FindByName(const std::vector<Item>& items, const char* bytes,
                       const char* name, ProfileSpan wanted) {
  const char* text = name + wanted.begin;
  auto found = std::lower_bound(
      items.begin(), items.end(), wanted,
      [bytes, text](const Item& item, ProfileSpan w) {
        return CompareProfileNames(bytes + item.name.begin, item.name.length,
                                   text, w.length) < 0;
      });
  if (found == items.end() ||
      CompareProfileNames(bytes + found->name.begin, found->name.length, text,
                          wanted.length) != 0) {
    return nullptr;
  }
  return &*found;
}

// The index of a file's bytes ini, read afresh unless it is of the same
// bytes and reading: FilesChanged() tells when a file's bytes may have
// changed.
const IniIndex& IndexOf(const std::string& ini) {
  IniIndex& index = M().iniIndex;
  uint64_t generation = M().filesChanged;
  ProfileReading reading = M().profileReading;
  if (index.source != &ini || index.generation != generation ||
      index.reading != reading) {
    if (index.bytes.size() != ini.size() || index.bytes != ini ||
        index.reading != reading) {
      BuildIndex(ini, reading, &index);
    }
    index.source = &ini;
    index.generation = generation;
  }
  return index;
}

uint32_t Lookup(const std::string& ini, const char* section, const char* key,
                const char* def, char* out, uint32_t size) {
  ProfileSpan sectionName = TrimProfileArgument(section);
  if (!key || sectionName.length == 0) {
    return StoreProfileDefault(def, out, size);
  }
  ProfileSpan keyName = TrimProfileArgument(key);
  const IniIndex& index = IndexOf(ini);
  const char* bytes = index.text.data();
  const IniIndex::Section* s =
      FindByName(index.sections, bytes, section, sectionName);
  const IniIndex::Key* found =
      s ? FindByName(s->keys, bytes, key, keyName) : nullptr;
  if (!found || !found->hasValue) return StoreProfileDefault(def, out, size);
  return StoreProfileValue(
      ReadProfileValue(bytes + found->value.begin, found->value.length), out,
      size);
}

}  // namespace

void SetProfileReading(ProfileReading reading) {
  M().profileReading = reading;
}

}  // namespace fake

namespace plat {

uint32_t ReadProfileString(const char* section, const char* key,
                           const char* def, char* out, uint32_t size,
                           const char* path) {
  fake::CallScope call("ReadProfileString", section);
  if (!out || size == 0) return 0;
  fake::Entry* e = call.fail ? nullptr : fake::FindEntry(path);
  if (!e || e->dir || e->unreadable) return StoreProfileDefault(def, out, size);
  return fake::Lookup(e->data, section, key, def, out, size);
}

}  // namespace plat
