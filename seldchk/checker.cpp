#include "seldchk/checker.h"

#include <cstring>

#include "control/message.h"
#include "pnp/pnp_id_list.h"
#include "seldchk/key_forms.h"
#include "seldchk/known_sections.h"
#include "seldchk/nearest_name.h"
#include "seldchk/path_checks.h"
#include "seldchk/run_cursor.h"

namespace {

const size_t kLongestPiece = kMessagePieceSize - 1;
const size_t kLongestId = kPnpIdValueSize - 1;

// How far the program read a known section, and why it stopped.
struct SectionWalk {
  bool walked;
  long askedUpTo;    // keys 1 to this (FROM1 to this in [copy])
  long askedToUpTo;  // [copy]: TO1 to this
  int endNumber;     // the key number that ended the list
  const char* endPrefix;
  bool idListFull;
  size_t idBytes;
  bool messageFull;  // a message section read to its last piece
};

// Where an entry removed the control file a run reads, and the entries of
// the lists after it, which that run then never reads.
struct ControlRemoval {
  bool found;
  int line;
  TextLine what;  // "[delete] key 3: C:\DISK\SELDUNAX.INI deletes"
  bool replaces;  // a [copy] over it
  const RunPlace* place;
  // Per known section: the first and last key number after it, or 0.
  long first[kKnownSectionCount];
  long last[kKnownSectionCount];
};

void StartFinding(TextLine* text, const char* section) {
  StartLine(text);
  Add(text, "[", section, "] ");
}

// "key 3" or "FROM3" (prefix and number).
void AddKeyLabel(TextLine* text, const char* prefix, long number) {
  Add(text, prefix[0] == '\0' ? "key " : prefix);
  AddNumber(text, static_cast<unsigned long>(number));
}

// The value's length in the file, past any buffer of the program's.
size_t WholeLength(const CheckContext& ctx, const char* section,
                   const char* key, const char* read) {
  const DocLine* line = FindKey(*ctx.doc, FindSection(*ctx.doc, section), key);
  size_t length = strlen(read);
  if (line == nullptr) return length;
  size_t whole = ValueOf(*ctx.doc, *line).length;
  return whole > length ? whole : length;
}

// "the missing key 3", "the empty TO2 (line 9)", "key 3 (line 7), which has
// no \"=\"".
void AddEndedAt(TextLine* text, const CheckContext& ctx, const char* section,
                const char* prefix, int number) {
  char key[16];
  FormatListKey(key, prefix, number);
  const DocLine* line = FindKey(*ctx.doc, FindSection(*ctx.doc, section), key);
  if (line == nullptr) {
    Add(text, "the missing ");
    AddKeyLabel(text, prefix, number);
    return;
  }
  if (line->profile.hasValue) Add(text, "the empty ");
  AddKeyLabel(text, prefix, number);
  Add(text, " (line ");
  AddNumber(text, static_cast<unsigned long>(line->profile.number));
  Add(text, line->profile.hasValue ? ")" : "), which has no \"=\"");
}

void AddEndReason(TextLine* text, const CheckContext& ctx,
                  const KnownSection& known, const SectionWalk& walk) {
  if (known.kind == SectionKind::Ids && walk.idListFull) {
    Add(text, "the id list is full after key ");
    AddNumber(text, static_cast<unsigned long>(walk.endNumber));
    Add(text, " (its ids take ");
    AddNumber(text, walk.idBytes);
    Add(text, " bytes; reading stops past ");
    AddNumber(text, kPnpIdListLimit);
    Add(text, ")");
    return;
  }
  if (known.kind == SectionKind::Message && walk.messageFull) {
    if (known.pieces == 1) {
      Add(text, "the program reads key 1 alone");
      return;
    }
    Add(text, "a message has at most ");
    AddNumber(text, static_cast<unsigned long>(known.pieces));
    Add(text, " pieces");
    return;
  }
  Add(text, known.kind == SectionKind::Message ? "the text ends at "
                                               : "the list ends at ");
  AddEndedAt(text, ctx, known.name, walk.endPrefix, walk.endNumber);
}

// ------------------------------------------------------------ entries

// "[pnpids] key 3: "ID": a finding about the id as matched.
void StartIdFinding(TextLine* text, const EntryValue& id) {
  StartFinding(text, "pnpids");
  Add(text, "key ", id.key, ": \"");
  AddShown(text, id.path);
}

void CheckId(const CheckContext& ctx, const RunItem& item) {
  const EntryValue& id = item.value;
  TextLine text;
  size_t whole = WholeLength(ctx, "pnpids", id.key, id.value);
  if (whole > kLongestId) {
    StartFinding(&text, "pnpids");
    Add(&text, "key ", id.key, ": the id has ");
    AddNumber(&text, whole);
    Add(&text, " characters: only its first ");
    AddNumber(&text, kLongestId);
    Add(&text, ", \"");
    AddShown(&text, id.path);
    Add(&text, "\", are matched");
    Warn(ctx.findings, id.line, text);
  }
  bool small = false;
  for (const char* c = id.path; *c != '\0'; ++c) {
    small = small || (*c >= 'a' && *c <= 'z');
  }
  if (small) {
    StartIdFinding(&text, id);
    Add(&text, "\" has small letters: an id matches the names of device "
        "keys letter case and all, and Windows names them in capitals; "
        "write \"");
    for (const char* c = id.path; *c != '\0'; ++c) {
      const char upper[2] = {plat::UpperAscii(*c), '\0'};
      AddShown(&text, upper);
    }
    Add(&text, "\"");
    Warn(ctx.findings, id.line, text);
  }
  if (id.path[0] == '*') {
    StartIdFinding(&text, id);
    Add(&text, "\" begins with \"*\", which no name of a device key below "
        "HKEY_LOCAL_MACHINE\\ENUM\\ISAPNP does (Windows writes compatible "
        "ids so elsewhere): write \"");
    AddShown(&text, id.path + 1);
    Add(&text, "\"");
    Warn(ctx.findings, id.line, text);
  }
}

void CheckPath(const CheckContext& ctx, const KnownSection& known,
               PathRole role, const EntryValue& value) {
  TextLine label;
  StartLine(&label);
  Add(&label, "[", known.name, "] ");
  if (role == PathRole::CopyFrom || role == PathRole::CopyTo) {
    Add(&label, value.key);
  } else {
    Add(&label, "key ", value.key);
  }
  PathCheck check{role, label.text, &value,
                  WholeLength(ctx, known.name, value.key, value.value),
                  ctx.directories, ctx.places};
  CheckPathValue(check, ctx.findings);
}

// A [dosclean] word or [regdel] entry the program passes over: a
// protected key is an error, as a protected directory is.
void CheckPassedOver(const CheckContext& ctx, const RunItem& item) {
  if (item.passed == nullptr) return;
  const EntryValue& value = item.value;
  TextLine text;
  StartFinding(&text, item.section->name);
  Add(&text, "key ", value.key, ": \"");
  AddShown(&text, value.value);
  Add(&text, "\" is passed over: ", item.passed);
  if (item.protectedKey) {
    Fail(ctx.findings, value.line, text);
  } else {
    Warn(ctx.findings, value.line, text);
  }
}

// A TOn that names a directory: on the machine, or by a separator at its
// end (all the text tells natively).
void CheckCopyTarget(const CheckContext& ctx, const RunItem& item) {
  const EntryValue& to = item.value;
  size_t length = strlen(to.value);
  bool separator =
      length > 0 && (to.value[length - 1] == '\\' || to.value[length - 1] == '/');
  bool directory = to.passed == kCopyOntoDirectory;
  if (!separator && !directory) return;
  TextLine text;
  StartFinding(&text, "copy");
  Add(&text, to.key, ": ");
  AddShown(&text, to.path);
  Add(&text, directory ? " is a directory on this PC" : " (\"");
  if (!directory) {
    AddShown(&text, to.value);
    Add(&text, "\" ends in a separator) names a directory");
  }
  Add(&text, ": TOn names the file the copy becomes, and the program never "
      "replaces a directory with it: the copy fails, the closing box names "
      "it and ", item.from.key, " is kept");
  if (!directory) Add(&text, " (where no such directory is, the file takes "
                      "its name)");
  const char* name = strrchr(item.from.path, '\\');
  if (name != nullptr && to.path[0] != '\0') {
    Add(&text, "; write the file's name, \"");
    AddShown(&text, to.path);
    AddShown(&text, name);
    Add(&text, "\"");
  }
  Warn(ctx.findings, to.line, text);
}

// "deleting", "deletes": what the entry does to its path, and so to the
// control file.
void AddRemoval(TextLine* text, PathRole role, const char* path) {
  switch (role) {
    case PathRole::CopyTo:
      Add(text, "copying over ");
      AddShown(text, path);
      Add(text, " replaces ");
      return;
    case PathRole::DeleteTree:
      Add(text, "removing ");
      AddShown(text, path);
      Add(text, " removes ");
      return;
    case PathRole::MultiDelete:
      AddShown(text, path);
      Add(text, " matches and deletes ");
      return;
    default:
      Add(text, "deleting ");
      AddShown(text, path);
      Add(text, " deletes ");
      return;
  }
}

void Record(const KnownSection& known, PathRole role, const EntryValue& value,
            const RunPlace& place, ControlRemoval* removal) {
  removal->found = true;
  removal->line = value.line;
  removal->replaces = role == PathRole::CopyTo;
  removal->place = &place;
  StartFinding(&removal->what, known.name);
  Add(&removal->what, role == PathRole::CopyTo ? "" : "key ", value.key, ": ");
  AddRemoval(&removal->what, role, value.path);
  for (size_t i = 0; i < kKnownSectionCount; ++i) {
    removal->first[i] = removal->last[i] = 0;
  }
}

// An entry after a removal: one the run that removed it never reads.
void NoteUnread(const RunItem& item, ControlRemoval* removal) {
  if (!removal->found) return;
  size_t i = static_cast<size_t>(item.section - kKnownSections);
  if (removal->first[i] == 0) removal->first[i] = item.number;
  removal->last[i] = item.number;
}

// Checks an entry's values, and whether it removes the control file of
// either run.
void CheckEntry(const CheckContext& ctx, const RunItem& item,
                ControlRemoval* here, ControlRemoval* there) {
  const KnownSection& known = *item.section;
  if (known.kind == SectionKind::Ids) {
    CheckId(ctx, item);
    return;
  }
  if (known.kind == SectionKind::DosWords ||
      known.kind == SectionKind::Registry) {
    CheckPassedOver(ctx, item);
    return;
  }
  if (known.kind == SectionKind::Copy) {
    CheckPath(ctx, known, PathRole::CopyFrom, item.from);
    CheckCopyTarget(ctx, item);
  }
  CheckPath(ctx, known, known.role, item.value);
  if (item.removesControl && !here->found) {
    Record(known, known.role, item.value, PlanPlace(*ctx.places), here);
  }
  // Started where the control file lies, the program also runs in TEMP
  // once the file is installed in C:\VANTORIS; started in C:\VANTORIS, it
  // hands over before it reads any list.
  const RunPlace& other = OtherPlace(*ctx.places);
  if (there->found || !other.known || ctx.places->diskHandsOver ||
      item.passed != nullptr) {
    return;
  }
  EntryValue elsewhere;
  JudgeInPlace(known.role, *ctx.directories, item.value, other, &elsewhere);
  if (RemovesFile(known.role, elsewhere, other.controlPath)) {
    Record(known, known.role, elsewhere, other, there);
  }
}

// Names the entries never read; returns how many there are.
long AddUnread(TextLine* text, const ControlRemoval& removal) {
  size_t lists = 0;
  for (size_t i = 0; i < kKnownSectionCount; ++i) lists += removal.first[i] > 0;
  size_t shown = 0;
  long entries = 0;
  for (size_t i = 0; i < kKnownSectionCount; ++i) {
    if (removal.first[i] == 0) continue;
    const KnownSection& known = kKnownSections[i];
    if (shown > 0) Add(text, shown + 1 == lists ? " and " : ", ");
    ++shown;
    bool copy = known.kind == SectionKind::Copy;
    bool one = removal.first[i] == removal.last[i];
    Add(text, "[", known.name, "] ");
    Add(text, copy ? (one ? "pair " : "pairs ") : (one ? "key " : "keys "));
    AddNumber(text, static_cast<unsigned long>(removal.first[i]));
    if (!one) {
      Add(text, removal.last[i] == removal.first[i] + 1 ? " and " : " to ");
      AddNumber(text, static_cast<unsigned long>(removal.last[i]));
    }
    entries += removal.last[i] - removal.first[i] + 1;
  }
  return entries;
}

void ReportRemoval(const CheckContext& ctx, const ControlRemoval& removal) {
  if (!removal.found) return;
  TextLine text = removal.what;
  const RunPlace& place = *removal.place;
  bool handOver = &place == &ctx.places->handOver;
  Add(&text, handOver ? "the copy of the control file that the program "
                        "reads after the hand-over from C:\\VANTORIS ("
                      : "the control file (", place.controlPath, "): ");
  TextLine unread;
  StartLine(&unread);
  long entries = AddUnread(&unread, removal);
  if (entries == 0) {
    Add(&text, "it is the last entry read, so nothing is lost, but the "
        "control file is gone after the run");
    Warn(ctx.findings, removal.line, text);
    return;
  }
  Add(&text, removal.replaces
                 ? "the program reads every later entry from the copied "
                   "file, so "
                 : "once it is gone the program reads nothing more of it, "
                   "so ");
  AddSpan(&text, unread.text, unread.length);
  Add(&text, entries == 1 ? " is never read" : " are never read",
      removal.replaces ? " from this file" : "",
      "; leave the control file out of the lists");
  Fail(ctx.findings, removal.line, text);
}

// ------------------------------------------------------------- messages

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLineBreakMisspelt(const char* piece) {
  size_t length = strlen(piece);
  if (length > kLongestPiece) length = kLongestPiece;
  size_t begin = 0;
  while (begin < length && IsBlank(piece[begin])) ++begin;
  size_t end = length;
  while (end > begin && IsBlank(piece[end - 1])) --end;
  return end - begin == 2 && strcmp(piece, "CR") != 0 &&
         plat::UpperAscii(piece[begin]) == 'C' &&
         plat::UpperAscii(piece[begin + 1]) == 'R';
}

// The reader drops blanks around a value: where they were meant to show
// (at a piece's start, or at its end before another piece of text), only
// quotes keep them.
void CheckPieceBlanks(const CheckContext& ctx, const char* label,
                      const DocLine& line, bool textFollows) {
  const IniDocument& doc = *ctx.doc;
  ProfileSpan value = line.profile.value;
  if (value.length == 0 || ValueOf(doc, line).quoted) return;
  ProfileSpan raw = RawValueOf(doc, line);
  bool leading = IsBlank(doc.text[value.begin - 1]) && value.begin > raw.begin;
  size_t end = value.begin + value.length;
  bool trailing = textFollows && end < raw.begin + raw.length &&
                  IsBlank(doc.text[end]);
  if (!leading && !trailing) return;
  TextLine text;
  StartLine(&text);
  Add(&text, label, ": the blanks ", leading ? "before" : "after", " \"");
  AddShown(&text, doc.text + value.begin, value.length);
  Add(&text, "\" are dropped, as around every value: keep them in quotes, ");
  AddShown(&text, doc.text + line.profile.name.begin, line.profile.name.length);
  Add(&text, "=\"");
  AddShown(&text, doc.text + raw.begin, raw.length);
  Add(&text, "\"");
  Warn(ctx.findings, line.profile.number, text);
}

void WalkMessage(const CheckContext& ctx, const KnownSection& known,
                 SectionWalk* walk) {
  const DocLine* section = FindSection(*ctx.doc, known.name);
  if (section == nullptr) return;
  ListPathCursor cursor{NumberedKeys{ctx.readPath, known.name, "",
                                     kRawValueSize, OverLong::Cut, false},
                        1};
  char piece[kRawValueSize];
  char next[kRawValueSize];
  bool have = NextListPath(&cursor, piece);
  walk->walked = true;
  walk->messageFull = true;
  const int keyCount = known.pieces + 1;
  while (have && cursor.next - 1 < keyCount) {
    int n = cursor.next - 1;
    char key[16];
    FormatListKey(key, "", n);
    bool more = n + 1 < keyCount && NextListPath(&cursor, next);
    const DocLine* line = FindKey(*ctx.doc, section, key);
    int number = line ? line->profile.number : 0;
    TextLine label;
    StartLine(&label);
    Add(&label, "[", known.name, "] key ", key);
    size_t whole = WholeLength(ctx, known.name, key, piece);
    TextLine text;
    if (whole > kLongestPiece) {
      StartLine(&text);
      Add(&text, label.text, ": the piece has ");
      AddNumber(&text, whole);
      Add(&text, " characters: only its first ");
      AddNumber(&text, kLongestPiece);
      Add(&text, " are shown");
      Warn(ctx.findings, number, text);
    }
    if (IsLineBreakMisspelt(piece)) {
      StartLine(&text);
      Add(&text, label.text, ": \"");
      AddShown(&text, piece);
      Add(&text, "\" is text, not a line break: a line break is CR alone, "
          "in capitals");
      Warn(ctx.findings, number, text);
    }
    CheckUtf8(label.text, number, piece, ", which the box shows", ctx.findings);
    if (line != nullptr && strcmp(piece, "CR") != 0) {
      CheckPieceBlanks(ctx, label.text, *line,
                       more && strcmp(next, "CR") != 0);
    }
    if (!more) {
      walk->messageFull = n + 1 >= keyCount;
      walk->endNumber = n + 1;
      break;
    }
    memcpy(piece, next, strlen(next) + 1);
  }
  if (!have) {
    walk->messageFull = false;
    walk->endNumber = 1;
  }
  walk->askedUpTo =
      walk->endNumber < keyCount ? walk->endNumber : keyCount - 1;
  walk->endPrefix = "";
}

// ----------------------------------------------------- keys and sections

bool IsComment(const IniDocument& doc, const DocLine& line) {
  return line.profile.name.length > 0 &&
         doc.text[line.profile.name.begin] == ';';
}

void AddName(TextLine* text, const IniDocument& doc, const DocLine& line) {
  AddShown(text, doc.text + line.profile.name.begin, line.profile.name.length);
}

// A key's name in a finding: "key 3", "FROM2", or key "NAME".
void AddDescribedKey(TextLine* text, const IniDocument& doc,
                     const DocLine& key, const char* const* prefixes,
                     int prefixCount) {
  const char* name = doc.text + key.profile.name.begin;
  size_t length = key.profile.name.length;
  for (int i = 0; i < prefixCount; ++i) {
    if (ReadKeyNumber(name, length, prefixes[i]) == 0) continue;
    if (prefixes[i][0] == '\0') {
      Add(text, "key ");
      AddName(text, doc, key);
    } else {
      for (size_t c = 0; c < length; ++c) {
        const char upper[2] = {plat::UpperAscii(name[c]), '\0'};
        Add(text, upper);
      }
    }
    return;
  }
  Add(text, "key \"");
  AddName(text, doc, key);
  Add(text, "\"");
}

// " is given again: the program reads the first, on line 4".
void AddGivenAgain(TextLine* text, const DocLine* first, const char* which) {
  Add(text, " is given again: the program reads ", which, ", on line ");
  AddNumber(text, static_cast<unsigned long>(first->profile.number));
}

// "unknown key "X" is never read: did you mean "Y"?", and the same of a
// section with its brackets.
void AddUnknown(TextLine* text, const IniDocument& doc, const DocLine& line,
                const char* what, const char* open, const char* close,
                const char* meant) {
  Add(text, "unknown ", what, " ", open);
  AddName(text, doc, line);
  Add(text, close, " is never read");
  if (meant != nullptr) Add(text, ": did you mean ", open, meant, close, "?");
}

bool WasAsked(const SectionWalk& walk, long number, const char* prefix) {
  long upTo = strcmp(prefix, "TO") == 0 ? walk.askedToUpTo : walk.askedUpTo;
  return number >= 1 && number <= upTo;
}

// In [copy]: " has no TO3 and" for a FROM3 without a TO3 that gives a
// value, and the other way round.
void AddMissingPartner(TextLine* text, const CheckContext& ctx,
                       const DocLine* section, const char* prefix,
                       long number) {
  if (prefix[0] == '\0') return;
  char partner[16];
  FormatListKey(partner, strcmp(prefix, "FROM") == 0 ? "TO" : "FROM",
                static_cast<int>(number));
  const DocLine* found = FindKey(*ctx.doc, section, partner);
  if (found != nullptr && ValueOf(*ctx.doc, *found).length > 0) return;
  Add(text, " has no ", partner, " and");
}

void ReportKey(const CheckContext& ctx, const KnownSection& known,
               const DocLine* section, const SectionWalk& walk,
               const DocLine& key) {
  const IniDocument& doc = *ctx.doc;
  if (IsComment(doc, key)) return;
  const char* const copyPrefixes[] = {"FROM", "TO"};
  const char* const plainPrefixes[] = {""};
  bool copy = known.kind == SectionKind::Copy;
  const char* const* prefixes = copy ? copyPrefixes : plainPrefixes;
  int prefixCount = copy ? 2 : 1;
  const char* name = doc.text + key.profile.name.begin;
  size_t length = key.profile.name.length;
  TextLine text;
  StartFinding(&text, known.name);
  if (key.shadowed) {
    AddDescribedKey(&text, doc, key, prefixes, prefixCount);
    AddGivenAgain(&text, FirstNamedLike(doc, section, key), "the first");
    Warn(ctx.findings, key.profile.number, text);
    return;
  }
  for (int i = 0; i < prefixCount; ++i) {
    long n = ReadKeyNumber(name, length, prefixes[i]);
    if (n == 0) continue;
    if (WasAsked(walk, n, prefixes[i])) return;
    AddDescribedKey(&text, doc, key, prefixes, prefixCount);
    AddMissingPartner(&text, ctx, section, prefixes[i], n);
    Add(&text, " is never read: ");
    AddEndReason(&text, ctx, known, walk);
    Warn(ctx.findings, key.profile.number, text);
    return;
  }
  for (int i = 0; i < prefixCount; ++i) {
    char digits[kKeyDigitsSize];
    KeyLook look = LookOfKey(name, length, prefixes[i], digits);
    if (look == KeyLook::NotNumbered) continue;
    Add(&text, "key \"");
    AddName(&text, doc, key);
    Add(&text, "\" is never read: ");
    if (look == KeyLook::BelowOne) {
      Add(&text, "the keys start at ", prefixes[i], "1");
    } else if (strlen(digits) + strlen(prefixes[i]) == length) {
      Add(&text, "no list reaches key ", prefixes[i], digits);
    } else {
      Add(&text, "the program reads the key \"", prefixes[i], digits, "\"");
    }
    Warn(ctx.findings, key.profile.number, text);
    return;
  }
  if (!key.profile.hasValue) {
    Add(&text, "line \"");
    AddName(&text, doc, key);
    Add(&text, "\" is not key=value and is never read");
    Warn(ctx.findings, key.profile.number, text);
    return;
  }
  // Names the program would read that look like this one.
  char digits[kKeyDigitsSize];
  size_t count = 0;
  for (size_t c = 0; c < length && count + 1 < sizeof digits; ++c) {
    if (name[c] >= '0' && name[c] <= '9') digits[count++] = name[c];
  }
  digits[count] = '\0';
  if (count == 0 || digits[0] == '0') {
    memcpy(digits, "1", 2);
    count = 1;
  }
  char candidates[2][8 + kKeyDigitsSize];
  const char* pointers[2];
  for (int i = 0; i < prefixCount; ++i) {
    size_t prefixLength = strlen(prefixes[i]);
    memcpy(candidates[i], prefixes[i], prefixLength);
    memcpy(candidates[i] + prefixLength, digits, count + 1);
    pointers[i] = candidates[i];
  }
  AddUnknown(&text, doc, key, "key", "\"", "\"",
             NearestName(name, length, pointers, prefixCount));
  Warn(ctx.findings, key.profile.number, text);
}

void ReportKeys(const CheckContext& ctx, const KnownSection& known,
                const SectionWalk& walk) {
  const DocLine* section = FindSection(*ctx.doc, known.name);
  for (const DocLine* key = FirstKey(*ctx.doc, section); key;
       key = NextKey(*ctx.doc, key)) {
    ReportKey(ctx, known, section, walk, *key);
  }
}

void ReportSectionsAndStrays(const CheckContext& ctx) {
  const IniDocument& doc = *ctx.doc;
  const char* names[kKnownSectionCount];
  for (size_t i = 0; i < kKnownSectionCount; ++i) {
    names[i] = kKnownSections[i].name;
  }
  for (size_t i = 0; i < doc.count; ++i) {
    const DocLine& line = doc.lines[i];
    TextLine text;
    StartLine(&text);
    if (line.profile.kind == ProfileLineKind::Stray) {
      if (IsComment(doc, line)) continue;
      Add(&text, "line outside any section is never read");
      Warn(ctx.findings, line.profile.number, text);
      continue;
    }
    if (line.profile.kind != ProfileLineKind::Section) continue;
    const char* name = doc.text + line.profile.name.begin;
    size_t length = line.profile.name.length;
    if (line.shadowed) {
      Add(&text, "section [");
      AddName(&text, doc, line);
      Add(&text, "]");
      AddGivenAgain(&text, FirstNamedLike(doc, nullptr, line), "only the first");
      Add(&text, "; nothing here is read");
      Warn(ctx.findings, line.profile.number, text);
      continue;
    }
    if (FindKnownSection(name, length) != nullptr) continue;
    AddUnknown(&text, doc, line, "section", "[", "]",
               NearestName(name, length, names, kKnownSectionCount));
    Warn(ctx.findings, line.profile.number, text);
  }
}

// The end of a list, as the program read it.
void RecordEnd(const CheckContext& ctx, const RunItem& item,
               SectionWalk* walk) {
  walk->walked = true;
  walk->endNumber = item.number;
  walk->endPrefix = item.endPrefix;
  walk->idListFull = item.idListFull;
  walk->idBytes = item.idBytes;
  walk->askedUpTo = item.number;
  walk->askedToUpTo = item.number;
  if (item.section->kind != SectionKind::Copy) return;
  TextLine text;
  StartFinding(&text, "copy");
  char from[16];
  char to[16];
  FormatListKey(from, "FROM", item.number);
  FormatListKey(to, "TO", item.number);
  if (strcmp(item.endPrefix, "TO") == 0) {
    Add(&text, from, " has no ", to, ": this copy is not made and the list "
        "ends here");
    Warn(ctx.findings, LineOf(*ctx.doc, "copy", from), text);
    return;
  }
  walk->askedToUpTo = item.number - 1;
  char value[kRawValueSize];
  ReadControlKey(NumberedKeys{ctx.readPath, "copy", "", kRawValueSize,
                              OverLong::Cut, false},
                 to, value);
  if (value[0] == '\0') return;
  walk->askedToUpTo = item.number;
  Add(&text, to, " has no ", from, ": the list ends before it");
  Warn(ctx.findings, LineOf(*ctx.doc, "copy", to), text);
}

}  // namespace

void CheckControlFile(const CheckContext& ctx) {
  ReportSectionsAndStrays(ctx);
  SectionWalk walks[kKnownSectionCount] = {};
  ControlRemoval here;
  ControlRemoval there;
  here.found = there.found = false;
  const RunPlace& plan = PlanPlace(*ctx.places);
  RunCursor cursor;
  StartRun(&cursor, ctx.readPath, ctx.doc, ctx.directories,
           plan.known ? plan.controlPath : nullptr, false);
  RunItem item;
  size_t entries = 0;
  while (NextRunItem(&cursor, &item)) {
    size_t index = static_cast<size_t>(item.section - kKnownSections);
    if (item.kind == RunItemKind::ListEnd) {
      RecordEnd(ctx, item, &walks[index]);
      continue;
    }
    ++entries;
    NoteUnread(item, &here);
    NoteUnread(item, &there);
    CheckEntry(ctx, item, &here, &there);
  }
  for (size_t i = 0; i < kKnownSectionCount; ++i) {
    const KnownSection& known = kKnownSections[i];
    if (known.kind == SectionKind::Message) WalkMessage(ctx, known, &walks[i]);
    if (walks[i].walked) ReportKeys(ctx, known, walks[i]);
  }
  ReportRemoval(ctx, here);
  ReportRemoval(ctx, there);
  if (entries == 0) {
    TextLine text;
    StartLine(&text);
    Add(&text, "nothing to remove: no [pnpids] id and no [dosclean], "
        "[copy], [delete], [multdel], [deltree] or [regdel] entry is read");
    Warn(ctx.findings, 0, text);
  }
}
