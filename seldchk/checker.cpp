#include "seldchk/checker.h"

#include <set>

#include "control/control_file.h"
#include "control/message.h"
#include "pnp/pnp_id_list.h"
#include "seldchk/key_forms.h"
#include "seldchk/known_sections.h"
#include "seldchk/nearest_name.h"
#include "seldchk/path_checks.h"

namespace {

const size_t kLongestPiece = kMessagePieceSize - 1;

struct Context {
  const IniDocument& doc;
  const char* controlPath;
  const Directories& directories;
  Findings* findings;
};

// How far a list was read: the keys the program asked for, and why it
// stopped.
struct Walk {
  std::set<std::string> asked;  // upper-case key names
  std::string endReason;        // "the list ends at the missing key 3"
};

// The keys prefix1, prefix2, ... of section as the program reads them,
// each whole up to its read buffer (kRawValueSize bytes).
NumberedKeys WholeKeys(const Context& ctx, const char* section,
                       const char* prefix) {
  return NumberedKeys{ctx.controlPath, section, prefix, kRawValueSize,
                      OverLong::Cut, false};
}

// What the program reads for key of section, whole up to its read buffer.
std::string ProgramValue(const Context& ctx, const std::string& section,
                         const std::string& key) {
  char raw[kRawValueSize];
  ReadControlKey(WholeKeys(ctx, section.c_str(), ""), key.c_str(), raw);
  return raw;
}

std::string KeyLabel(const std::string& prefix, const std::string& number) {
  return prefix.empty() ? "key " + number : prefix + number;
}

int LineOf(const Context& ctx, const std::string& section,
           const std::string& key) {
  const IniKey* found = FindKey(FindSection(ctx.doc, section), key);
  return found ? found->line : 0;
}

// "the missing key 3", "the empty TO2 (line 9)", "key 3 (line 7), which has
// no \"=\"".
std::string EndedAt(const Context& ctx, const std::string& section,
                    const std::string& prefix, int n) {
  std::string number = std::to_string(n);
  std::string label = KeyLabel(prefix, number);
  const IniKey* key = FindKey(FindSection(ctx.doc, section), prefix + number);
  if (key == nullptr) return "the missing " + label;
  std::string line = " (line " + std::to_string(key->line) + ")";
  if (!key->hasValue) return label + line + ", which has no \"=\"";
  return "the empty " + label + line;
}

std::string SectionLabel(const std::string& section) {
  return "[" + section + "]";
}

std::vector<ReadEntry> WalkPathList(const Context& ctx,
                                    const std::string& section, PathRole role,
                                    Walk* walk) {
  std::vector<ReadEntry> entries;
  ListPathCursor cursor{WholeKeys(ctx, section.c_str(), ""), 1};
  char value[kRawValueSize];
  for (;;) {
    int n = cursor.next;
    std::string key = std::to_string(n);
    walk->asked.insert(key);
    if (!NextListPath(&cursor, value)) {
      walk->endReason = "the list ends at " + EndedAt(ctx, section, "", n);
      return entries;
    }
    ReadEntry entry{key, LineOf(ctx, section, key), value, "", ""};
    CheckPathValue(role, SectionLabel(section) + " key " + key,
                   ctx.directories, &entry, ctx.findings);
    entries.push_back(entry);
  }
}

std::vector<CopyPair> WalkCopyList(const Context& ctx, Walk* walk) {
  std::vector<CopyPair> pairs;
  CopyPairCursor cursor = StartCopyPairs(WholeKeys(ctx, "copy", "FROM"),
                                         WholeKeys(ctx, "copy", "TO"));
  char from[kRawValueSize];
  char to[kRawValueSize];
  for (;;) {
    int n = cursor.next;
    std::string number = std::to_string(n);
    std::string fromKey = "FROM" + number;
    std::string toKey = "TO" + number;
    walk->asked.insert(fromKey);
    bool paired = NextCopyPair(&cursor, from, to);
    if (cursor.from == ListValue::End) {
      walk->endReason = "the list ends at " + EndedAt(ctx, "copy", "FROM", n);
      if (!ProgramValue(ctx, "copy", toKey).empty()) {
        walk->asked.insert(toKey);
        ctx.findings->Warn(LineOf(ctx, "copy", toKey),
                           "[copy] " + toKey + " has no " + fromKey +
                               ": the list ends before it");
      }
      return pairs;
    }
    walk->asked.insert(toKey);
    if (!paired) {
      walk->endReason = "the list ends at " + EndedAt(ctx, "copy", "TO", n);
      ctx.findings->Warn(LineOf(ctx, "copy", fromKey),
                         "[copy] " + fromKey + " has no " + toKey +
                             ": this copy is not made and the list ends here");
      return pairs;
    }
    CopyPair pair{{fromKey, LineOf(ctx, "copy", fromKey), from, "", ""},
                  {toKey, LineOf(ctx, "copy", toKey), to, "", ""}};
    CheckPathValue(PathRole::CopyFrom, "[copy] " + fromKey, ctx.directories,
                   &pair.from, ctx.findings);
    CheckPathValue(PathRole::CopyTo, "[copy] " + toKey, ctx.directories,
                   &pair.to, ctx.findings);
    pairs.push_back(pair);
  }
}

std::vector<ReadEntry> WalkIds(const Context& ctx, Walk* walk) {
  std::vector<ReadEntry> ids;
  char list[kPnpIdListSize];
  int count = ReadPnpIdList(ctx.controlPath, list);
  size_t used = 0;
  const char* id = list;
  for (int n = 1; n <= count; ++n) {
    std::string key = std::to_string(n);
    walk->asked.insert(key);
    std::string whole = ProgramValue(ctx, "pnpids", key);
    ReadEntry entry{key, LineOf(ctx, "pnpids", key), id, "", ""};
    if (whole.size() > kPnpIdValueSize - 1) {
      ctx.findings->Warn(entry.line,
                         "[pnpids] key " + key + ": the id has " +
                             std::to_string(whole.size()) +
                             " characters: only its first " +
                             std::to_string(kPnpIdValueSize - 1) + ", \"" +
                             Shown(entry.value) + "\", are matched");
    }
    used += entry.value.size() + 1;
    id += entry.value.size() + 1;
    ids.push_back(entry);
  }
  if (used > static_cast<size_t>(kPnpIdListLimit)) {
    walk->endReason = "the id list is full after key " +
                      std::to_string(count) + " (its ids take " +
                      std::to_string(used) + " bytes; reading stops past " +
                      std::to_string(kPnpIdListLimit) + ")";
  } else {
    walk->asked.insert(std::to_string(count + 1));
    walk->endReason = "the list ends at " +
                      EndedAt(ctx, "pnpids", "", count + 1);
  }
  return ids;
}

bool IsLineBreakMisspelt(const std::string& piece) {
  size_t begin = piece.find_first_not_of(" \t");
  size_t end = piece.find_last_not_of(" \t");
  if (begin == std::string::npos) return false;
  return piece != "CR" &&
         UpperName(piece.substr(begin, end - begin + 1)) == "CR";
}

// Checks the pieces of a message section; true when it gives a text.
bool WalkMessage(const Context& ctx, const std::string& section, Walk* walk) {
  walk->endReason = "a message has at most " +
                    std::to_string(kMessageKeyCount - 1) + " pieces";
  ListPathCursor cursor{WholeKeys(ctx, section.c_str(), ""), 1};
  char value[kRawValueSize];
  while (cursor.next < kMessageKeyCount) {
    int n = cursor.next;
    std::string key = std::to_string(n);
    walk->asked.insert(key);
    if (!NextListPath(&cursor, value)) {
      walk->endReason = "the text ends at " + EndedAt(ctx, section, "", n);
      break;
    }
    std::string piece = value;
    int line = LineOf(ctx, section, key);
    std::string label = SectionLabel(section) + " key " + key;
    if (piece.size() > kLongestPiece) {
      ctx.findings->Warn(line, label + ": the piece has " +
                                   std::to_string(piece.size()) +
                                   " characters: only its first " +
                                   std::to_string(kLongestPiece) +
                                   " are shown");
    }
    if (IsLineBreakMisspelt(piece.substr(0, kLongestPiece))) {
      ctx.findings->Warn(line, label + ": \"" + Shown(piece) +
                                   "\" is text, not a line break: a line "
                                   "break is CR alone, in capitals");
    }
  }
  char text[kMessageBufferSize];
  return LoadMessage(text, kMessageKeyCount, section.c_str(),
                     ctx.controlPath) != 0;
}

// A key's name in a finding: "key 3", "FROM2", or key "NAME".
std::string DescribeKey(const IniKey& key, const std::vector<std::string>& prefixes) {
  for (const std::string& prefix : prefixes) {
    if (ReadKeyNumber(key.upper, prefix) > 0) {
      return prefix.empty() ? "key " + key.name : key.upper;
    }
  }
  return "key \"" + Shown(key.name) + "\"";
}

// Names the program would read that look like name.
std::vector<std::string> CandidateKeys(const IniKey& key,
                                       const std::vector<std::string>& prefixes) {
  std::string digits;
  for (char c : key.name) {
    if (c >= '0' && c <= '9') digits += c;
  }
  if (digits.empty() || digits[0] == '0') digits = "1";
  std::vector<std::string> names;
  for (const std::string& prefix : prefixes) names.push_back(prefix + digits);
  return names;
}

// In [copy]: " has no TO3" for FROM3 without a TO3 that gives a value, and
// the other way round; "" elsewhere.
std::string MissingPartner(const IniSection& section, const std::string& prefix,
                           int n) {
  if (prefix.empty()) return "";
  std::string partner = (prefix == "FROM" ? "TO" : "FROM") + std::to_string(n);
  const IniKey* found = FindKey(&section, partner);
  if (found != nullptr && !ValueRead(*found).empty()) return "";
  return " has no " + partner + " and";
}

void ReportKey(const Context& ctx, const IniSection& section,
               const std::vector<std::string>& prefixes, const Walk& walk,
               const IniKey& key) {
  std::string where = SectionLabel(section.name) + " ";
  if (key.name.compare(0, 1, ";") == 0) return;
  if (key.shadowed) {
    const IniKey* first = FindKey(&section, key.name);
    ctx.findings->Warn(key.line, where + DescribeKey(key, prefixes) +
                                     " is given again: the program reads "
                                     "the first, on line " +
                                     std::to_string(first->line));
    return;
  }
  if (walk.asked.count(key.upper) != 0) return;
  for (const std::string& prefix : prefixes) {
    int n = ReadKeyNumber(key.upper, prefix);
    if (n <= 0) continue;
    ctx.findings->Warn(key.line, where + DescribeKey(key, prefixes) +
                                     MissingPartner(section, prefix, n) +
                                     " is never read: " + walk.endReason);
    return;
  }
  for (const std::string& prefix : prefixes) {
    long number = 0;
    if (!LooksLikeNumberedKey(key.upper, prefix, &number)) continue;
    std::string why = number < 1 ? "the keys start at " + prefix + "1"
                                 : "the program reads the key \"" + prefix +
                                       std::to_string(number) + "\"";
    ctx.findings->Warn(key.line, where + "key \"" + Shown(key.name) +
                                     "\" is never read: " + why);
    return;
  }
  if (!key.hasValue) {
    ctx.findings->Warn(key.line, where + "line \"" + Shown(key.name) +
                                     "\" is not key=value and is never read");
    return;
  }
  std::string meant = NearestName(key.upper, CandidateKeys(key, prefixes));
  ctx.findings->Warn(key.line, where + "unknown key \"" + Shown(key.name) +
                                   "\" is never read" +
                                   (meant.empty() ? "" : ": did you mean \"" +
                                                             meant + "\"?"));
}

void ReportKeys(const Context& ctx, const IniSection& section,
                const KnownSection& known, const Walk& walk) {
  std::vector<std::string> prefixes = {""};
  if (known.kind == SectionKind::Copy) prefixes = {"FROM", "TO"};
  for (const IniKey& key : section.keys) {
    ReportKey(ctx, section, prefixes, walk, key);
  }
}

void ReportSectionsAndStrays(const Context& ctx) {
  for (const IniKey& stray : ctx.doc.strays) {
    if (stray.name.compare(0, 1, ";") == 0) continue;
    ctx.findings->Warn(stray.line,
                       "line outside any section is never read");
  }
  for (const IniSection& section : ctx.doc.sections) {
    if (section.shadowed) {
      const IniSection* first = FindSection(ctx.doc, section.name);
      ctx.findings->Warn(section.line,
                         "section " + SectionLabel(Shown(section.name)) +
                             " is given again: the program reads only the "
                             "first, on line " + std::to_string(first->line) +
                             "; nothing here is read");
      continue;
    }
    if (FindKnownSection(section.name) != nullptr) continue;
    std::string meant = NearestName(section.name, KnownSectionNames());
    ctx.findings->Warn(section.line,
                       "unknown section " + SectionLabel(Shown(section.name)) +
                           " is never read" +
                           (meant.empty() ? ""
                                          : ": did you mean [" + meant + "]?"));
  }
}

// Walks one known section and reports its keys that are never read.
void CheckKnownSection(const Context& ctx, const KnownSection& known,
                       ControlRead* read) {
  Walk walk;
  std::string name = known.name;
  switch (known.kind) {
    case SectionKind::Ids:
      read->ids = WalkIds(ctx, &walk);
      break;
    case SectionKind::Copy:
      read->copies = WalkCopyList(ctx, &walk);
      break;
    case SectionKind::PathList:
      if (name == "delete") {
        read->deletes = WalkPathList(ctx, name, PathRole::Delete, &walk);
      } else if (name == "multdel") {
        read->multdels = WalkPathList(ctx, name, PathRole::MultiDelete, &walk);
      } else {
        read->deltrees = WalkPathList(ctx, name, PathRole::DeleteTree, &walk);
      }
      break;
    case SectionKind::Message:
      if (FindSection(ctx.doc, name) == nullptr) return;
      if (WalkMessage(ctx, name, &walk)) {
        read->messages.push_back({name, LineOf(ctx, name, "1")});
      }
      break;
  }
  const IniSection* section = FindSection(ctx.doc, name);
  if (section != nullptr) ReportKeys(ctx, *section, known, walk);
}

}  // namespace

ControlRead CheckControlFile(const IniDocument& doc, const char* controlPath,
                             const Directories& directories,
                             Findings* findings) {
  Context ctx{doc, controlPath, directories, findings};
  ControlRead read;
  ReportSectionsAndStrays(ctx);
  for (const KnownSection& known : KnownSections()) {
    CheckKnownSection(ctx, known, &read);
  }
  if (read.ids.empty() && read.copies.empty() && read.deletes.empty() &&
      read.multdels.empty() && read.deltrees.empty()) {
    findings->Warn(0, "nothing to remove: no [pnpids] id and no [copy], "
                      "[delete], [multdel] or [deltree] entry is read");
  }
  return read;
}
