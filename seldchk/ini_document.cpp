#include "seldchk/ini_document.h"

#include <cstddef>

#include "platform/platform.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' ||
         c == '\f' || c == '\x1a';
}

std::string Trimmed(const std::string& text, size_t begin, size_t end) {
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// One line of the file: [begin, end) and the line number an editor shows
// (CR LF counts as one line end, a lone CR or LF as one too).
struct RawLine {
  size_t begin;
  size_t end;
  int number;
};

std::vector<RawLine> SplitLines(const std::string& bytes) {
  std::vector<RawLine> lines;
  int number = 1;
  size_t begin = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(RawLine{begin, i, number});
    begin = i + 1;
    // The reader sees an empty line between CR and LF; an editor does not.
    if (c == '\n' || i + 1 >= bytes.size() || bytes[i + 1] != '\n') ++number;
  }
  if (begin < bytes.size()) lines.push_back(RawLine{begin, bytes.size(), number});
  return lines;
}

bool MarkShadowedKey(IniSection* section, IniKey* key) {
  for (const IniKey& earlier : section->keys) {
    if (earlier.upper == key->upper) return true;
  }
  return false;
}

}  // namespace

std::string UpperName(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) c = plat::UpperAscii(c);
  return upper;
}

IniDocument ParseIni(const std::string& bytes) {
  IniDocument doc;
  IniSection* current = nullptr;
  for (const RawLine& raw : SplitLines(bytes)) {
    std::string line = Trimmed(bytes, raw.begin, raw.end);
    if (line.empty()) continue;
    if (line[0] == '[') {
      size_t close = line.rfind(']');
      if (close != std::string::npos) {
        IniSection section;
        section.name = Trimmed(line, 1, close);
        section.upper = UpperName(section.name);
        section.line = raw.number;
        section.shadowed = FindSection(doc, section.name) != nullptr;
        doc.sections.push_back(section);
        current = &doc.sections.back();
        continue;
      }
    }
    size_t eq = line.find('=');
    IniKey key;
    key.name = Trimmed(line, 0, eq == std::string::npos ? line.size() : eq);
    key.upper = UpperName(key.name);
    key.hasValue = eq != std::string::npos;
    key.text = key.hasValue ? Trimmed(line, eq + 1, line.size()) : "";
    key.line = raw.number;
    if (current == nullptr) {
      key.shadowed = false;
      doc.strays.push_back(key);
      continue;
    }
    key.shadowed = MarkShadowedKey(current, &key);
    current->keys.push_back(key);
  }
  return doc;
}

const IniSection* FindSection(const IniDocument& doc, const std::string& name) {
  std::string upper = UpperName(name);
  for (const IniSection& section : doc.sections) {
    if (section.upper == upper) return &section;
  }
  return nullptr;
}

const IniKey* FindKey(const IniSection* section, const std::string& name) {
  if (section == nullptr) return nullptr;
  std::string upper = UpperName(name);
  for (const IniKey& key : section->keys) {
    if (key.upper == upper) return &key;
  }
  return nullptr;
}

std::string ValueRead(const IniKey& key) {
  if (!key.hasValue) return "";
  std::string value = key.text.substr(0, key.text.find('\0'));
  size_t n = value.size();
  if (n >= 2 && (value[0] == '"' || value[0] == '\'') && value[n - 1] == value[0]) {
    return value.substr(1, n - 2);
  }
  return value;
}

std::string LookUp(const IniDocument& doc, const std::string& section,
                   const std::string& key) {
  if (Trimmed(section, 0, section.size()).empty()) return "";
  const IniKey* found = FindKey(FindSection(doc, Trimmed(section, 0, section.size())),
                                Trimmed(key, 0, key.size()));
  return found ? ValueRead(*found) : "";
}
