#include "seldchk/ini_document.h"

#include "platform/platform.h"
#include "platform/profile/profile_reader.h"

namespace {

std::string TextOf(const std::string& bytes, ProfileSpan span) {
  return bytes.substr(span.begin, span.length);
}

bool IsShadowedKey(const IniSection& section, const IniKey& key) {
  for (const IniKey& earlier : section.keys) {
    if (earlier.upper == key.upper) return true;
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
  ProfileCursor cursor = StartProfile(bytes.data(), bytes.size());
  ProfileLine line;
  while (NextProfileLine(&cursor, &line)) {
    if (line.kind == ProfileLineKind::Section) {
      IniSection section;
      section.name = TextOf(bytes, line.name);
      section.upper = UpperName(section.name);
      section.line = line.number;
      section.shadowed = FindSection(doc, section.name) != nullptr;
      doc.sections.push_back(section);
      continue;
    }
    IniKey key;
    key.name = TextOf(bytes, line.name);
    key.upper = UpperName(key.name);
    key.hasValue = line.hasValue;
    key.text = TextOf(bytes, line.value);
    key.line = line.number;
    key.shadowed = false;
    if (line.kind == ProfileLineKind::Stray) {
      doc.strays.push_back(key);
      continue;
    }
    IniSection& current = doc.sections.back();
    key.shadowed = IsShadowedKey(current, key);
    current.keys.push_back(key);
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
  ProfileValue value = ReadProfileValue(key.text.data(), key.text.size());
  return std::string(value.text, value.length);
}

std::string LookUp(const IniDocument& doc, const std::string& section,
                   const std::string& key) {
  ProfileSpan sectionName = TrimProfileArgument(section.c_str());
  if (sectionName.length == 0) return "";
  ProfileSpan keyName = TrimProfileArgument(key.c_str());
  const IniKey* found = FindKey(FindSection(doc, TextOf(section, sectionName)),
                                TextOf(key, keyName));
  return found ? ValueRead(*found) : "";
}
