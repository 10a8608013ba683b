#include "seldchk/ini_document.h"

#include <cstring>

#include "platform/platform.h"
#include "seldchk/heap_block.h"

namespace {

bool SameName(const IniDocument& doc, ProfileSpan a, ProfileSpan b) {
  return CompareProfileNames(doc.text + a.begin, a.length, doc.text + b.begin,
                             b.length) == 0;
}

// A key line of its section, the lines from index from on read so far,
// has key's name.
bool IsShadowedKey(const IniDocument& doc, size_t from, const DocLine& key) {
  for (size_t i = from; i < doc.count; ++i) {
    if (SameName(doc, doc.lines[i].profile.name, key.profile.name)) {
      return true;
    }
  }
  return false;
}

bool IsShadowedSection(const IniDocument& doc, const DocLine& section) {
  for (size_t i = 0; i < doc.count; ++i) {
    const DocLine& line = doc.lines[i];
    if (line.profile.kind == ProfileLineKind::Section &&
        SameName(doc, line.profile.name, section.profile.name)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool ReadDocument(const char* text, size_t size, ProfileReading reading,
                  IniDocument* doc) {
  *doc = IniDocument{text, size, reading, nullptr, 0, 0};
  ProfileCursor cursor = StartProfile(text, size, reading);
  size_t keysFrom = 0;  // the first key line of the current section
  DocLine line;
  while (NextProfileLine(&cursor, &line.profile)) {
    void* grown = GrownBlock(doc->lines, &doc->capacity, doc->count,
                             doc->count + 1, sizeof(DocLine));
    if (grown == nullptr) return false;
    doc->lines = static_cast<DocLine*>(grown);
    switch (line.profile.kind) {
      case ProfileLineKind::Section:
        line.shadowed = IsShadowedSection(*doc, line);
        keysFrom = doc->count + 1;
        break;
      case ProfileLineKind::Key:
        line.shadowed = IsShadowedKey(*doc, keysFrom, line);
        break;
      case ProfileLineKind::Stray:
        line.shadowed = false;
        break;
    }
    doc->lines[doc->count++] = line;
  }
  return true;
}

void ReleaseDocument(IniDocument* doc) {
  plat::Release(doc->lines);
  doc->lines = nullptr;
  doc->count = doc->capacity = 0;
}

ProfileSpan NameOf(const DocLine& line) { return line.profile.name; }

bool IsNamed(const IniDocument& doc, const DocLine& line, const char* name) {
  ProfileSpan wanted = TrimProfileArgument(name);
  return CompareProfileNames(doc.text + line.profile.name.begin,
                             line.profile.name.length, name + wanted.begin,
                             wanted.length) == 0;
}

const DocLine* FindSection(const IniDocument& doc, const char* name) {
  if (TrimProfileArgument(name).length == 0) return nullptr;
  for (size_t i = 0; i < doc.count; ++i) {
    const DocLine& line = doc.lines[i];
    if (line.profile.kind == ProfileLineKind::Section && !line.shadowed &&
        IsNamed(doc, line, name)) {
      return &line;
    }
  }
  return nullptr;
}

const DocLine* NextKey(const IniDocument& doc, const DocLine* key) {
  const DocLine* next = key + 1;
  if (next == doc.lines + doc.count ||
      next->profile.kind != ProfileLineKind::Key) {
    return nullptr;
  }
  return next;
}

const DocLine* FirstKey(const IniDocument& doc, const DocLine* section) {
  return section ? NextKey(doc, section) : nullptr;
}

const DocLine* FirstNamedLike(const IniDocument& doc, const DocLine* section,
                              const DocLine& line) {
  if (line.profile.kind != ProfileLineKind::Section) {
    for (const DocLine* key = FirstKey(doc, section); key;
         key = NextKey(doc, key)) {
      if (SameName(doc, key->profile.name, line.profile.name)) return key;
    }
    return nullptr;
  }
  for (size_t i = 0; i < doc.count; ++i) {
    const DocLine& other = doc.lines[i];
    if (other.profile.kind == ProfileLineKind::Section &&
        SameName(doc, other.profile.name, line.profile.name)) {
      return &other;
    }
  }
  return nullptr;
}

const DocLine* FindKey(const IniDocument& doc, const DocLine* section,
                       const char* key) {
  for (const DocLine* line = FirstKey(doc, section); line;
       line = NextKey(doc, line)) {
    if (IsNamed(doc, *line, key)) return line;
  }
  return nullptr;
}

ProfileValue ValueOf(const IniDocument& doc, const DocLine& key) {
  if (!key.profile.hasValue) return ProfileValue{doc.text, 0, false};
  return ReadProfileValue(doc.text + key.profile.value.begin,
                          key.profile.value.length);
}

int LineOf(const IniDocument& doc, const char* section, const char* key) {
  const DocLine* found = FindKey(doc, FindSection(doc, section), key);
  return found ? found->profile.number : 0;
}

ProfileSpan RawValueOf(const IniDocument& doc, const DocLine& key) {
  if (!key.profile.hasValue) return ProfileSpan{key.profile.value.begin, 0};
  size_t begin = key.profile.value.begin;
  while (begin > 0 && doc.text[begin - 1] != '=') --begin;
  size_t end = key.profile.value.begin + key.profile.value.length;
  while (end < doc.size && doc.text[end] != '\r' && doc.text[end] != '\n') {
    ++end;
  }
  return ProfileSpan{begin, end - begin};
}
