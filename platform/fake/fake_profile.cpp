// The private-profile reader of the fake machine. It reads the INI file's
// bytes from the fake file system and applies the rules of the system's
// GetPrivateProfileStringA, checked against the real reader by the INI
// table under tests/data/ini.
#include <cstring>

#include "platform/fake/fake_internal.h"

namespace fake {

namespace {

// ^Z, the DOS end-of-file mark, counts as a blank too.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' ||
         c == '\f' || c == '\x1a';
}

struct Span {
  const char* begin;
  const char* end;
  size_t size() const { return static_cast<size_t>(end - begin); }
};

Span Trim(Span s) {
  while (s.begin < s.end && IsBlank(*s.begin)) ++s.begin;
  while (s.end > s.begin && IsBlank(s.end[-1])) --s.end;
  return s;
}

bool SpanEquals(Span s, const std::string& text) {
  if (s.size() != text.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char a = s.begin[i], b = text[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

std::string TrimmedArg(const char* text) {
  size_t len = strnlen(text, 65536);
  Span s = Trim(Span{text, text + len});
  return std::string(s.begin, s.size());
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

// Finds key in the first section named section (an empty name names no
// section). Sets *value and returns true when a "key=value" line is there;
// a line without "=" names a key without a value, which reads as missing.
bool FindValue(const std::string& ini, const std::string& section,
               const std::string& key, std::string* value) {
  if (section.empty()) return false;
  const char* pos = ini.data();
  const char* end = pos + ini.size();
  enum { kBefore, kInside, kAfter } where = kBefore;
  while (pos < end && where != kAfter) {
    Span line = Trim(NextLine(&pos, end));
    if (line.size() == 0) continue;
    if (*line.begin == '[') {
      const char* close = line.end;
      while (close > line.begin && close[-1] != ']') --close;
      if (close > line.begin) {
        Span name = Trim(Span{line.begin + 1, close - 1});
        if (where == kInside) where = kAfter;
        else if (SpanEquals(name, section)) where = kInside;
        continue;
      }
    }
    if (where != kInside) continue;
    const char* eq = static_cast<const char*>(
        std::memchr(line.begin, '=', line.size()));
    Span name = Trim(Span{line.begin, eq ? eq : line.end});
    if (!SpanEquals(name, key)) continue;
    if (!eq) return false;
    Span v = Trim(Span{eq + 1, line.end});
    value->assign(v.begin, v.size());
    return true;
  }
  return false;
}

// Copies text into out (size > 0), dropping matching outer quotes. The
// system's reader copies the text after the opening quote and then cuts
// the last character whenever the whole of that text would have fitted,
// so a quoted value that fits with no room to spare loses its last
// character as well: "abc" read with size 4 gives "ab".
uint32_t CopyEntry(const std::string& text, char* out, uint32_t size) {
  // Text goes out as a C string: it ends at a NUL byte.
  std::string v = text.substr(0, text.find('\0'));
  bool quoted = v.size() >= 2 && (v[0] == '"' || v[0] == '\'') &&
                v.back() == v[0];
  if (quoted) v.erase(0, 1);
  size_t n = v.size() < size - 1 ? v.size() : size - 1;
  if (quoted && size >= v.size() && n > 0) --n;
  std::memcpy(out, v.data(), n);
  out[n] = '\0';
  return static_cast<uint32_t>(n);
}

// The default as the system uses it: trailing blanks dropped.
std::string TrimmedDefault(const char* def) {
  if (!def) return std::string();
  std::string d(def, strnlen(def, 65536));
  while (d.size() > 1 && d.back() == ' ') d.pop_back();
  return d;
}

}  // namespace

uint32_t ProfileLookup(const std::string& ini, const char* section,
                       const char* key, const char* def, char* out,
                       uint32_t size) {
  if (!out || size == 0) return 0;
  std::string value;
  if (section && key && FindValue(ini, TrimmedArg(section), TrimmedArg(key),
                                  &value)) {
    return CopyEntry(value, out, size);
  }
  return CopyEntry(TrimmedDefault(def), out, size);
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
  return fake::ProfileLookup(e->data, section, key, def, out, size);
}

}  // namespace plat
