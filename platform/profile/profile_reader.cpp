#include "platform/profile/profile_reader.h"

#include <cstring>

#include "platform/platform.h"

namespace {

// The longest section, key or default text taken from a caller.
constexpr size_t kLongestArgument = 65536;

bool IsProfileBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' ||
         c == '\f' || c == '\x1a';
}

// The blanks around [begin, end) of bytes dropped.
ProfileSpan Trimmed(const char* bytes, size_t begin, size_t end) {
  while (begin < end && IsProfileBlank(bytes[begin])) ++begin;
  while (end > begin && IsProfileBlank(bytes[end - 1])) --end;
  return ProfileSpan{begin, end - begin};
}

// A name as the reading matches it: in the NT family's, up to its first
// NUL byte.
ProfileSpan NameAsMatched(const char* bytes, ProfileSpan name,
                          ProfileReading reading) {
  if (reading != ProfileReading::NtFamily) return name;
  const void* nul = std::memchr(bytes + name.begin, '\0', name.length);
  if (nul) {
    name.length =
        static_cast<size_t>(static_cast<const char*>(nul) - bytes) - name.begin;
  }
  return name;
}

// A line beginning with "[" that has a "]" after it: the name between the
// "[" and the last "]".
bool ReadSectionName(const char* bytes, ProfileSpan text,
                     ProfileReading reading, ProfileSpan* name) {
  if (bytes[text.begin] != '[') return false;
  size_t close = text.begin + text.length;
  while (close > text.begin + 1 && bytes[close - 1] != ']') --close;
  if (close == text.begin + 1) return false;
  *name = NameAsMatched(bytes, Trimmed(bytes, text.begin + 1, close - 1),
                        reading);
  return true;
}

void ReadKeyLine(const char* bytes, ProfileSpan text, ProfileReading reading,
                 ProfileLine* line) {
  size_t end = text.begin + text.length;
  const void* eq = std::memchr(bytes + text.begin, '=', text.length);
  size_t nameEnd =
      eq ? static_cast<size_t>(static_cast<const char*>(eq) - bytes) : end;
  line->name = NameAsMatched(bytes, Trimmed(bytes, text.begin, nameEnd),
                             reading);
  line->hasValue = eq != nullptr;
  line->value = eq ? Trimmed(bytes, nameEnd + 1, end) : ProfileSpan{end, 0};
}

size_t ArgumentLength(const char* text) {
  size_t length = 0;
  while (text && length < kLongestArgument && text[length] != '\0') ++length;
  return length;
}

}  // namespace

ProfileCursor StartProfile(const char* text, size_t size,
                           ProfileReading reading) {
  return ProfileCursor{text, size, 0, 1, false, reading};
}

bool NextProfileLine(ProfileCursor* cursor, ProfileLine* line) {
  const char* bytes = cursor->bytes;
  while (cursor->next < cursor->size) {
    size_t begin = cursor->next;
    size_t stop = begin;
    while (stop < cursor->size && bytes[stop] != '\r' && bytes[stop] != '\n') {
      ++stop;
    }
    int number = cursor->number;
    cursor->next = stop < cursor->size ? stop + 1 : stop;
    // The reader sees an empty line between CR and LF; an editor does not.
    if (stop < cursor->size &&
        (bytes[stop] == '\n' || stop + 1 >= cursor->size ||
         bytes[stop + 1] != '\n')) {
      ++cursor->number;
    }
    ProfileSpan text = Trimmed(bytes, begin, stop);
    if (text.length == 0) continue;
    line->number = number;
    if (ReadSectionName(bytes, text, cursor->reading, &line->name)) {
      line->kind = ProfileLineKind::Section;
      line->hasValue = false;
      line->value = ProfileSpan{stop, 0};
      cursor->inSection = true;
      return true;
    }
    line->kind =
        cursor->inSection ? ProfileLineKind::Key : ProfileLineKind::Stray;
    ReadKeyLine(bytes, text, cursor->reading, line);
    return true;
  }
  return false;
}

ProfileSpan TrimProfileArgument(const char* text) {
  return Trimmed(text, 0, ArgumentLength(text));
}

// A loop of its own rather than memcmp, which a fuzzer watches: its notes on
// an index's sorting would cost more than the code under test.
int CompareProfileNames(const char* a, size_t lengthA, const char* b,
                        size_t lengthB) {
  size_t n = lengthA < lengthB ? lengthA : lengthB;
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(plat::UpperAscii(a[i]));
    unsigned char y = static_cast<unsigned char>(plat::UpperAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

ProfileValue ReadProfileValue(const char* text, size_t length) {
  const void* nul = std::memchr(text, '\0', length);
  if (nul) length = static_cast<size_t>(static_cast<const char*>(nul) - text);
  bool quoted = length >= 2 && (text[0] == '"' || text[0] == '\'') &&
                text[length - 1] == text[0];
  if (quoted) return ProfileValue{text + 1, length - 2, true};
  return ProfileValue{text, length, false};
}

// The reader copies a quoted value from after its opening quote, the
// closing quote included, and then cuts the last character whenever all of
// that fitted: "abc" read with size 4 gives "ab".
uint32_t StoreProfileValue(ProfileValue value, char* out, uint32_t size) {
  size_t copied = value.quoted ? value.length + 1 : value.length;
  size_t n = copied < size - 1 ? copied : size - 1;
  if (value.quoted && size >= copied && n > 0) --n;
  std::memcpy(out, value.text, n);
  out[n] = '\0';
  return static_cast<uint32_t>(n);
}

uint32_t StoreProfileDefault(const char* def, char* out, uint32_t size) {
  size_t length = ArgumentLength(def);
  while (length > 1 && def[length - 1] == ' ') --length;
  return StoreProfileValue(ReadProfileValue(def ? def : "", length), out,
                           size);
}

bool FindProfileKey(const char* bytes, size_t size, ProfileReading reading,
                    const char* section, const char* key, ProfileLine* found) {
  ProfileSpan sectionName = TrimProfileArgument(section);
  ProfileSpan keyName = TrimProfileArgument(key);
  if (sectionName.length == 0) return false;
  ProfileCursor cursor = StartProfile(bytes, size, reading);
  ProfileLine line;
  bool searching = false;
  while (NextProfileLine(&cursor, &line)) {
    bool named =
        CompareProfileNames(bytes + line.name.begin, line.name.length,
                            section + sectionName.begin,
                            sectionName.length) == 0;
    if (line.kind == ProfileLineKind::Section) {
      if (searching) return false;  // only the first of the name is searched
      searching = named;
      continue;
    }
    if (!searching) continue;
    if (CompareProfileNames(bytes + line.name.begin, line.name.length,
                            key + keyName.begin, keyName.length) == 0) {
      *found = line;
      return true;
    }
  }
  return false;
}

uint32_t LookUpProfileString(const char* bytes, size_t size,
                             ProfileReading reading, const char* section,
                             const char* key, const char* def, char* out,
                             uint32_t outSize) {
  if (!out || outSize == 0) return 0;
  ProfileLine line;
  if (section && key &&
      FindProfileKey(bytes, size, reading, section, key, &line) &&
      line.hasValue) {
    return StoreProfileValue(
        ReadProfileValue(bytes + line.value.begin, line.value.length), out,
        outSize);
  }
  return StoreProfileDefault(def, out, outSize);
}
