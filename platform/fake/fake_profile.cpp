// The private-profile reader of the fake machine. It reads the INI file's
// bytes from the fake file system and applies the rules of the system's
// GetPrivateProfileStringA, checked against the real reader by the INI
// table under tests/data/ini.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/fake/fake_internal.h"

namespace fake {

namespace {

// ^Z, the DOS end-of-file mark, counts as a blank too.
bool IsProfileBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' ||
         c == '\f' || c == '\x1a';
}

struct Span {
  const char* begin;
  const char* end;
  size_t size() const { return static_cast<size_t>(end - begin); }
};

Span Trim(Span s) {
  while (s.begin < s.end && IsProfileBlank(*s.begin)) ++s.begin;
  while (s.end > s.begin && IsProfileBlank(s.end[-1])) --s.end;
  return s;
}

void AssignUpper(Span text, std::string* out) {
  out->assign(text.begin, text.size());
  for (char& c : *out) c = plat::UpperAscii(c);
}

// The argument text without its surrounding blanks, in upper case, into
// out (whose storage is reused from call to call).
void UpperTrimmedArg(const char* text, std::string* out) {
  size_t len = strnlen(text, 65536);
  AssignUpper(Trim(Span{text, text + len}), out);
}

// The next line of the file: a CR or an LF ends it (CR LF thus leaves an
// empty line behind, which is skipped).
Span NextLine(const char** pos, const char* end) {
  const char* start = *pos;
  const char* stop = start;
  while (stop < end && *stop != '\r' && *stop != '\n') ++stop;
  *pos = stop < end ? stop + 1 : end;
  return Span{start, stop};
}

// A span of the text at base as its place there.
IniIndex::Text TextOf(const char* base, Span span) {
  return IniIndex::Text{static_cast<uint32_t>(span.begin - base),
                        static_cast<uint32_t>(span.size())};
}

// Compares two names in upper case: negative, zero or positive. A loop of
// our own rather than memcmp, which a fuzzer watches: its notes on the
// index's own sorting would cost more than the sorting.
int CompareNames(const char* a, size_t lengthA, const char* b,
                 size_t lengthB) {
  size_t n = lengthA < lengthB ? lengthA : lengthB;
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) {
      return static_cast<unsigned char>(a[i]) <
                     static_cast<unsigned char>(b[i])
                 ? -1
                 : 1;
    }
  }
  return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

// Reads the INI bytes once into their index: for the first section of each
// name, the first line of each key name, as the system's reader finds them
// (only the first section of a name is searched, the first line of a key
// decides, and a line without "=" names a key without a value).
void BuildIndex(const std::string& ini, IniIndex* index) {
  index->bytes = ini;
  index->upper = ini;
  for (char& c : index->upper) c = plat::UpperAscii(c);
  index->sections.clear();
  // The upper-case copy is read: it has the same places as the bytes (the
  // values are taken from those), and names are compared in it. Letter
  // case changes no character that the reading looks for.
  const char* base = index->upper.data();
  // The section being read; none before the first section. Every section
  // is read; later ones of a name already seen are dropped below.
  size_t current = SIZE_MAX;
  const char* pos = base;
  const char* end = pos + index->upper.size();
  while (pos < end) {
    Span line = Trim(NextLine(&pos, end));
    if (line.size() == 0) continue;
    if (*line.begin == '[') {
      const char* close = line.end;
      while (close > line.begin && close[-1] != ']') --close;
      if (close > line.begin) {
        Span name = Trim(Span{line.begin + 1, close - 1});
        current = index->sections.size();
        index->sections.push_back(IniIndex::Section{TextOf(base, name), {}});
        continue;
      }
    }
    if (current == SIZE_MAX) continue;
    const char* eq = static_cast<const char*>(
        std::memchr(line.begin, '=', line.size()));
    IniIndex::Key key;
    key.name = TextOf(base, Trim(Span{line.begin, eq ? eq : line.end}));
    key.hasValue = eq != nullptr;
    if (eq) key.value = TextOf(base, Trim(Span{eq + 1, line.end}));
    index->sections[current].keys.push_back(key);
  }
  // Sorted by name, the first line of each name first (lines lie in the
  // bytes in file order); then only that one is kept.
  for (IniIndex::Section& section : index->sections) {
    std::sort(section.keys.begin(), section.keys.end(),
              [base](const IniIndex::Key& a, const IniIndex::Key& b) {
                int order = CompareNames(base + a.name.begin, a.name.length,
                                          base + b.name.begin, b.name.length);
                return order != 0 ? order < 0 : a.name.begin < b.name.begin;
              });
    section.keys.erase(
        std::unique(section.keys.begin(), section.keys.end(),
                    [base](const IniIndex::Key& a, const IniIndex::Key& b) {
                      return CompareNames(base + a.name.begin, a.name.length,
                                           base + b.name.begin,
                                           b.name.length) == 0;
                    }),
        section.keys.end());
  }
  // Likewise only the first section of each name is kept.
  std::sort(index->sections.begin(), index->sections.end(),
            [base](const IniIndex::Section& a, const IniIndex::Section& b) {
              int order = CompareNames(base + a.name.begin, a.name.length,
                                        base + b.name.begin, b.name.length);
              return order != 0 ? order < 0 : a.name.begin < b.name.begin;
            });
  index->sections.erase(
      std::unique(index->sections.begin(), index->sections.end(),
                  [base](const IniIndex::Section& a,
                         const IniIndex::Section& b) {
                    return CompareNames(base + a.name.begin, a.name.length,
                                         base + b.name.begin,
                                         b.name.length) == 0;
                  }),
      index->sections.end());
}

// The entry of items (sorted by name, names unique) whose name is name
// (upper case), or null.
template <typename Item>
const Item* FindByName(const std::vector<Item>& items, const char* base,
                       const std::string& name) {
  auto found = std::lower_bound(
      items.begin(), items.end(), name,
      [base](const Item& item, const std::string& wanted) {
        return CompareNames(base + item.name.begin, item.name.length,
                             wanted.data(), wanted.size()) < 0;
      });
  if (found == items.end() ||
      CompareNames(base + found->name.begin, found->name.length, name.data(),
                    name.size()) != 0) {
    return nullptr;
  }
  return &*found;
}

// The value of key in the first section named section (an empty name names
// no section): true with *value set when there is a "key=value" line for
// it. fileData tells that ini is a file's bytes in the machine, which
// FilesChanged() reports changes of; other text is compared with the
// index's each time.
bool FindValue(const std::string& ini, bool fileData, const char* section,
               const char* key, Span* value) {
  // Reused from look-up to look-up, so that a look-up allocates nothing.
  static std::string sectionName;
  static std::string keyName;
  UpperTrimmedArg(section, &sectionName);
  if (sectionName.empty()) return false;
  UpperTrimmedArg(key, &keyName);
  IniIndex& index = M().iniIndex;
  uint64_t generation = M().filesChanged;
  if (!fileData || index.source != &ini || index.generation != generation) {
    if (index.bytes.size() != ini.size() || index.bytes != ini) {
      BuildIndex(ini, &index);
    }
    index.source = fileData ? &ini : nullptr;
    index.generation = generation;
  }
  const char* upper = index.upper.data();
  const IniIndex::Section* s = FindByName(index.sections, upper, sectionName);
  const IniIndex::Key* found =
      s ? FindByName(s->keys, upper, keyName) : nullptr;
  if (!found || !found->hasValue) return false;
  const char* bytes = index.bytes.data();
  *value = Span{bytes + found->value.begin,
                bytes + found->value.begin + found->value.length};
  return true;
}

// Copies text (length bytes) into out (size > 0), dropping matching outer
// quotes. The system's reader copies the text after the opening quote and
// then cuts the last character whenever the whole of that text would have
// fitted, so a quoted value that fits with no room to spare loses its last
// character as well: "abc" read with size 4 gives "ab".
uint32_t CopyEntry(const char* text, size_t length, char* out,
                   uint32_t size) {
  // Text goes out as a C string: it ends at a NUL byte.
  const char* nul = static_cast<const char*>(std::memchr(text, '\0', length));
  if (nul) length = static_cast<size_t>(nul - text);
  bool quoted = length >= 2 && (text[0] == '"' || text[0] == '\'') &&
                text[length - 1] == text[0];
  if (quoted) {
    ++text;
    --length;
  }
  size_t n = length < size - 1 ? length : size - 1;
  if (quoted && size >= length && n > 0) --n;
  std::memcpy(out, text, n);
  out[n] = '\0';
  return static_cast<uint32_t>(n);
}

// The default as the system uses it: trailing blanks dropped.
uint32_t CopyDefault(const char* def, char* out, uint32_t size) {
  size_t length = def ? strnlen(def, 65536) : 0;
  while (length > 1 && def[length - 1] == ' ') --length;
  return CopyEntry(def ? def : "", length, out, size);
}

uint32_t Lookup(const std::string& ini, bool fileData, const char* section,
                const char* key, const char* def, char* out, uint32_t size) {
  if (!out || size == 0) return 0;
  Span value;
  if (section && key && FindValue(ini, fileData, section, key, &value)) {
    return CopyEntry(value.begin, value.size(), out, size);
  }
  return CopyDefault(def, out, size);
}

}  // namespace

uint32_t ProfileLookup(const std::string& ini, const char* section,
                       const char* key, const char* def, char* out,
                       uint32_t size) {
  return Lookup(ini, false, section, key, def, out, size);
}

}  // namespace fake

namespace plat {

uint32_t ReadProfileString(const char* section, const char* key,
                           const char* def, char* out, uint32_t size,
                           const char* path) {
  fake::CallScope call("ReadProfileString", section);
  if (!out || size == 0) return 0;
  fake::Entry* e = call.fail ? nullptr : fake::FindEntry(path);
  if (!e || e->dir || e->unreadable) {
    return fake::ProfileLookup(std::string(), nullptr, nullptr, def, out,
                               size);
  }
  return fake::Lookup(e->data, true, section, key, def, out, size);
}

}  // namespace plat
