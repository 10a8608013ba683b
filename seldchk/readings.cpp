#include "seldchk/readings.h"

#include <cstring>

#include "control/control_file.h"
#include "seldchk/known_sections.h"

namespace {

// The first place where the two readings hand the program different
// values of a list: its section, key and both values.
struct Difference {
  bool found;
  const char* section;
  char key[16];
  ProfileValue windows95;
  ProfileValue ntFamily;
};

ProfileValue LookUp(const IniDocument& doc, const char* section,
                    const char* key) {
  const DocLine* line = FindKey(doc, FindSection(doc, section), key);
  return line ? ValueOf(doc, *line) : ProfileValue{doc.text, 0, false};
}

bool Same(ProfileValue a, ProfileValue b) {
  if (a.length != b.length) return false;
  for (size_t i = 0; i < a.length; ++i) {
    if (a.text[i] != b.text[i]) return false;
  }
  return true;
}

// Compares the lists key by key, as far as either reading reads them.
void FindDifference(const Readings& readings, Difference* difference) {
  difference->found = false;
  const char* const copyPrefixes[] = {"FROM", "TO"};
  const char* const plainPrefixes[] = {""};
  for (size_t s = 0; s < kKnownSectionCount; ++s) {
    const KnownSection& known = kKnownSections[s];
    if (known.kind == SectionKind::Message) continue;
    bool copy = known.kind == SectionKind::Copy;
    const char* const* prefixes = copy ? copyPrefixes : plainPrefixes;
    bool ended = false;
    for (int n = 1; !ended; ++n) {
      for (int p = 0; p < (copy ? 2 : 1) && !ended; ++p) {
        char key[16];
        FormatListKey(key, prefixes[p], n);
        ProfileValue a = LookUp(*readings.windows95, known.name, key);
        ProfileValue b = LookUp(*readings.ntFamily, known.name, key);
        if (!Same(a, b)) {
          *difference = Difference{true, known.name, {}, a, b};
          memcpy(difference->key, key, sizeof key);
          return;
        }
        ended = a.length == 0;
      }
    }
  }
}

void AddValue(TextLine* text, ProfileValue value) {
  if (value.length == 0) {
    Add(text, "nothing");
    return;
  }
  Add(text, "\"");
  AddShown(text, value.text, value.length);
  Add(text, "\"");
}

// The end of every finding here: what it does, and the fix.
void AddOutcome(TextLine* text, const Difference& difference,
                const char* fix) {
  if (difference.found) {
    Add(text, ": the two act on different entries (", "[",
        difference.section, "] ");
    bool numbered = difference.key[0] >= '0' && difference.key[0] <= '9';
    Add(text, numbered ? "key " : "", difference.key, " is ");
    AddValue(text, difference.ntFamily);
    Add(text, " for Windows NT and Wine, and ");
    AddValue(text, difference.windows95);
    Add(text, " for Windows 95)");
  }
  Add(text, "; ", fix);
}

void Report(Findings* findings, int line, const Difference& difference,
            const TextLine& text) {
  if (difference.found) {
    Fail(findings, line, text);
  } else {
    Warn(findings, line, text);
  }
}

// More than a quarter of the byte pairs have a NUL byte on one side and
// next to none on the other: UTF-16 text, as ASCII characters give it.
bool LooksLikeUtf16(const char* bytes, size_t size) {
  size_t pairs = size / 2;
  if (pairs < 2) return false;
  size_t nulFirst = 0;
  size_t nulSecond = 0;
  for (size_t i = 0; i + 1 < size; i += 2) {
    nulFirst += bytes[i] == '\0';
    nulSecond += bytes[i + 1] == '\0';
  }
  size_t most = nulFirst > nulSecond ? nulFirst : nulSecond;
  size_t least = nulFirst > nulSecond ? nulSecond : nulFirst;
  return most * 4 > pairs && least * 8 < pairs;
}

void CheckEncoding(const Readings& readings, const Difference& difference,
                   Findings* findings) {
  TextLine text;
  StartLine(&text);
  switch (DetectProfileEncoding(readings.bytes, readings.size)) {
    case ProfileEncoding::Ansi:
      if (!LooksLikeUtf16(readings.bytes, readings.size)) return;
      Add(&text, "the file looks like UTF-16 text without a byte-order mark: "
          "Windows 95, Windows NT and Wine all read its bytes as ANSI text, "
          "with a NUL byte beside every character");
      break;
    case ProfileEncoding::Utf8:
      Add(&text, "the file begins with a UTF-8 byte-order mark: Windows 95 "
          "reads it as ANSI text, the mark as three characters of its first "
          "line, and Windows NT and Wine as UTF-8 text");
      break;
    case ProfileEncoding::Utf16Le:
    case ProfileEncoding::Utf16Be:
      Add(&text, "the file is UTF-16 text with a byte-order mark: Windows 95 "
          "reads its bytes as ANSI text, with a NUL byte beside every "
          "character, and Windows NT and Wine as UTF-16 text");
      break;
  }
  if (readings.replaced > 0) {
    Add(&text, ", where ");
    AddNumber(&text, readings.replaced);
    Add(&text, readings.replaced == 1 ? " character" : " characters",
        " outside the ANSI code page ",
        readings.replaced == 1 ? "becomes" : "become", " \"?\"");
  }
  AddOutcome(&text, difference, "save the file as ANSI text");
  Report(findings, 1, difference, text);
}

void AddNameUpToNul(TextLine* text, const IniDocument& doc,
                    const DocLine& line) {
  const char* name = doc.text + line.profile.name.begin;
  size_t length = line.profile.name.length;
  const void* nul = memchr(name, '\0', length);
  AddShown(text, name, static_cast<size_t>(static_cast<const char*>(nul) - name));
}

// Names holding a NUL byte, as Windows 95 reads the file: the NT family
// reads them up to the NUL.
void CheckNulNames(const Readings& readings, const Difference& difference,
                   Findings* findings) {
  const IniDocument& doc = *readings.windows95;
  const DocLine* section = nullptr;
  for (size_t i = 0; i < doc.count; ++i) {
    const DocLine& line = doc.lines[i];
    if (line.profile.kind == ProfileLineKind::Section) section = &line;
    const char* name = doc.text + line.profile.name.begin;
    if (memchr(name, '\0', line.profile.name.length) == nullptr) continue;
    TextLine text;
    StartLine(&text);
    bool isSection = line.profile.kind == ProfileLineKind::Section;
    if (!isSection && section != nullptr) {
      Add(&text, "[");
      AddShown(&text, doc.text + section->profile.name.begin,
               section->profile.name.length);
      Add(&text, "] ");
    }
    Add(&text, isSection ? "section [" : "key \"");
    AddShown(&text, name, line.profile.name.length);
    Add(&text, isSection ? "]" : "\"", " holds a NUL byte: Windows 95 reads "
        "the name whole, and Windows NT and Wine up to the NUL byte, as ",
        isSection ? "[" : "\"");
    AddNameUpToNul(&text, doc, line);
    Add(&text, isSection ? "]" : "\"");
    AddOutcome(&text, difference, "remove the NUL byte");
    Report(findings, line.profile.number, difference, text);
  }
}

}  // namespace

void CheckReadings(const Readings& readings, Findings* findings) {
  Difference difference;
  FindDifference(readings, &difference);
  CheckEncoding(readings, difference, findings);
  // In UTF-16 text every other byte is a NUL: the finding above says it.
  ProfileEncoding encoding = DetectProfileEncoding(readings.bytes,
                                                   readings.size);
  bool utf16 = encoding == ProfileEncoding::Utf16Le ||
               encoding == ProfileEncoding::Utf16Be ||
               LooksLikeUtf16(readings.bytes, readings.size);
  if (!utf16) CheckNulNames(readings, difference, findings);
}
