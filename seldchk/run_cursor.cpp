#include "seldchk/run_cursor.h"

#include <cstring>

#include "control/normal_path.h"
#include "control/path_macros.h"
#include "fileops/protected_dirs.h"
#include "platform/platform.h"
#include "platform/search/search_match.h"
#include "textfile/dos_words.h"

const char kCopyOntoDirectory[] =
    "TOn is a directory, which is never replaced: the copy fails";

namespace {

// A list's keys as the program reads them, each whole up to the checker's
// read buffer: limits are judged afterwards, so that a value over one is
// still seen.
NumberedKeys WholeKeys(const char* readPath, const char* section,
                       const char* prefix) {
  return NumberedKeys{readPath, section, prefix, kRawValueSize, OverLong::Cut,
                      false};
}

void StartValue(const RunCursor& cursor, const char* section,
                const char* prefix, int number, EntryValue* value) {
  FormatListKey(value->key, prefix, number);
  value->line = LineOf(*cursor.doc, section, value->key);
  value->expanded[0] = '\0';
  value->path[0] = '\0';
  value->target = ListTarget::Act;
  value->directoryLength = 0;
  value->unplaced = false;
  value->passed = nullptr;
}

void StartItem(RunCursor* cursor, RunItemKind kind, int number,
               RunItem* item) {
  item->kind = kind;
  item->section = &kKnownSections[cursor->section];
  item->number = number;
  item->passed = nullptr;
  item->oneValue = false;
  item->protectedKey = false;
  item->removesControl = false;
  item->endPrefix = "";
  item->idListFull = false;
  item->idBytes = 0;
  if (kind == RunItemKind::ListEnd) {
    ++cursor->section;
    cursor->started = false;
  }
}

void NextId(RunCursor* cursor, RunItem* item) {
  if (!cursor->started) {
    cursor->idCount = ReadPnpIdList(cursor->readPath, cursor->ids);
    cursor->idNumber = 1;
    cursor->idUsed = 0;
    cursor->started = true;
  }
  int n = cursor->idNumber;
  if (n > cursor->idCount) {
    bool full = cursor->idUsed > static_cast<size_t>(kPnpIdListLimit);
    size_t used = cursor->idUsed;
    StartItem(cursor, RunItemKind::ListEnd, full ? n - 1 : n, item);
    item->idListFull = full;
    item->idBytes = used;
    return;
  }
  StartItem(cursor, RunItemKind::Entry, n, item);
  EntryValue* value = &item->value;
  StartValue(*cursor, "pnpids", "", n, value);
  ReadControlKey(WholeKeys(cursor->readPath, "pnpids", ""), value->key,
                 value->value);
  const char* id = cursor->ids + cursor->idUsed;
  size_t length = strlen(id);
  memcpy(value->path, id, length + 1);
  cursor->idUsed += length + 1;
  ++cursor->idNumber;
}

void NextCopy(RunCursor* cursor, RunItem* item) {
  if (!cursor->started) {
    cursor->copy =
        StartCopyPairs(WholeKeys(cursor->readPath, "copy", "FROM"),
                       WholeKeys(cursor->readPath, "copy", "TO"));
    cursor->started = true;
  }
  int n = cursor->copy.next;
  bool paired = NextCopyPair(&cursor->copy, item->from.value,
                             item->value.value);
  if (!paired) {
    bool fromEnded = cursor->copy.from == ListValue::End;
    StartItem(cursor, RunItemKind::ListEnd, n, item);
    item->endPrefix = fromEnded ? "FROM" : "TO";
    return;
  }
  StartItem(cursor, RunItemKind::Entry, n, item);
  StartValue(*cursor, "copy", "FROM", n, &item->from);
  StartValue(*cursor, "copy", "TO", n, &item->value);
  JudgePath(PathRole::CopyFrom, *cursor->directories, &item->from);
  JudgePath(PathRole::CopyTo, *cursor->directories, &item->value);
  if (item->value.passed == nullptr && !item->value.unplaced) {
    uint32_t attributes = plat::FileAttributes(item->value.path);
    if (attributes != plat::kInvalidAttributes &&
        (attributes & plat::kAttrDirectory)) {
      item->value.passed = kCopyOntoDirectory;
    }
  }
  item->passed = item->from.passed ? item->from.passed : item->value.passed;
  item->removesControl =
      item->passed == nullptr &&
      RemovesFile(PathRole::CopyTo, item->value, cursor->controlFile);
}

void NextPath(RunCursor* cursor, RunItem* item) {
  const KnownSection& known = kKnownSections[cursor->section];
  if (!cursor->started) {
    cursor->list = ListPathCursor{WholeKeys(cursor->readPath, known.name, ""),
                                  1};
    cursor->started = true;
  }
  int n = cursor->list.next;
  if (!NextListPath(&cursor->list, item->value.value)) {
    StartItem(cursor, RunItemKind::ListEnd, n, item);
    return;
  }
  StartItem(cursor, RunItemKind::Entry, n, item);
  StartValue(*cursor, known.name, "", n, &item->value);
  JudgePath(known.role, *cursor->directories, &item->value);
  item->passed = item->value.passed;
  item->removesControl =
      RemovesFile(known.role, item->value, cursor->controlFile);
}

// Why ReadDosWord's verdict passes a word over, or null.
const char* DosWordPassed(DosWord use) {
  switch (use) {
    case DosWord::TooLong:
      return "longer than 255 characters";
    case DosWord::TooShort:
      return "fewer than four characters (a drive among them)";
    case DosWord::SystemFolder:
      return "it names the Windows, system or DOS directory, as the "
             "user's own lines do";
    case DosWord::CommandName:
      return "only command names (SET, PATH, REM, ECHO, DEVICE, LH, "
             "LOADHIGH), which the user's own lines hold";
    case DosWord::End:
    case DosWord::Used:
      break;
  }
  return nullptr;
}

void NextDosWord(RunCursor* cursor, RunItem* item) {
  if (!cursor->started) {
    cursor->list.next = 1;
    cursor->started = true;
  }
  int n = cursor->list.next;
  char word[kPathSize];
  DosWord use = ReadDosWord(cursor->readPath, n, word);
  if (use == DosWord::End) {
    StartItem(cursor, RunItemKind::ListEnd, n, item);
    return;
  }
  ++cursor->list.next;
  StartItem(cursor, RunItemKind::Entry, n, item);
  EntryValue* value = &item->value;
  StartValue(*cursor, "dosclean", "", n, value);
  ReadControlKey(WholeKeys(cursor->readPath, "dosclean", ""), value->key,
                 value->value);
  memcpy(value->path, word, strlen(word) + 1);
  item->passed = value->passed = DosWordPassed(use);
}

// Why the program passes over the [regdel] entry, or null when it acts on
// it; the key as it acts on it into target, and what the reading decided.
const char* JudgeRegistryEntry(const char* entry, RegistryTarget* target,
                               RegistryVerdict* verdict) {
  *verdict = RegistryVerdict::Malformed;
  if (strlen(entry) > static_cast<size_t>(kPathSize - 1)) {
    return "longer than 255 characters";
  }
  *verdict = ReadRegistryTarget(entry, target);
  switch (*verdict) {
    case RegistryVerdict::Act:
      return nullptr;
    case RegistryVerdict::Protected:
      return strchr(target->key, '\\') == nullptr
                 ? "a root of the registry"
                 : "a key of the system's own, or one on the way to them";
    case RegistryVerdict::Malformed:
      break;
  }
  // In the order the reading refuses them.
  if (strchr(entry, '*') != nullptr || strchr(entry, '?') != nullptr) {
    return "\"*\" and \"?\" are no wildcards in a key";
  }
  const char* comma = strrchr(entry, ',');
  if (comma != nullptr && comma[1] == '\0') {
    return "a comma with no value's name after it";
  }
  if (plat::UpperAscii(entry[0]) == 'H' && plat::UpperAscii(entry[1]) == 'K') {
    return "a root other than HKLM and HKCU";
  }
  return "no root: an entry begins with HKLM\\ or HKCU\\";
}

void NextRegistryEntry(RunCursor* cursor, RunItem* item) {
  if (!cursor->started) {
    NumberedKeys keys = RegistryListKeys(cursor->readPath);
    keys.size = kRawValueSize;
    keys.overLong = OverLong::Cut;
    cursor->list = ListPathCursor{keys, 1};
    cursor->started = true;
  }
  int n = cursor->list.next;
  if (!NextListPath(&cursor->list, item->value.value)) {
    StartItem(cursor, RunItemKind::ListEnd, n, item);
    return;
  }
  StartItem(cursor, RunItemKind::Entry, n, item);
  EntryValue* value = &item->value;
  StartValue(*cursor, "regdel", "", n, value);
  RegistryTarget target;
  RegistryVerdict verdict;
  item->passed = value->passed =
      JudgeRegistryEntry(value->value, &target, &verdict);
  item->protectedKey = verdict == RegistryVerdict::Protected;
  if (item->passed != nullptr) return;
  item->oneValue = target.value[0] != '\0';
  // Key, comma and name fit: the entry held them, with a root as long.
  size_t keyLength = strlen(target.key);
  memcpy(value->path, target.key, keyLength + 1);
  if (item->oneValue) {
    value->path[keyLength] = ',';
    memcpy(value->path + keyLength + 1, target.value,
           strlen(target.value) + 1);
  }
}

// The normal form of path's first length characters, a directory.
bool DirectoryPart(const char* path, size_t length, char* out) {
  char part[kPathSize];
  memcpy(part, path, length);
  part[length] = '\0';
  return NormalizePath(part, out) == PathForm::Normal;
}

bool SearchFinds(const char* pattern, const char* file) {
  if (SearchMatches(pattern, strrchr(file, '\\') + 1)) return true;
  char shortPath[kPathSize];
  uint32_t length = plat::ShortPathName(file, shortPath, kPathSize);
  if (length == 0 || length >= static_cast<uint32_t>(kPathSize)) return false;
  const char* shortName = strrchr(shortPath, '\\');
  return shortName != nullptr && SearchMatches(pattern, shortName + 1);
}

}  // namespace

void StartRun(RunCursor* cursor, const char* readPath, const IniDocument* doc,
              const Directories* directories, const char* controlFile,
              bool stopAtControlFile) {
  cursor->readPath = readPath;
  cursor->doc = doc;
  cursor->directories = directories;
  cursor->controlFile = controlFile;
  cursor->stopAtControlFile = stopAtControlFile;
  cursor->section = 0;
  cursor->started = false;
  cursor->stopped = false;
}

bool NextRunItem(RunCursor* cursor, RunItem* item) {
  while (!cursor->stopped && cursor->section < kKnownSectionCount) {
    switch (kKnownSections[cursor->section].kind) {
      case SectionKind::Ids:
        NextId(cursor, item);
        break;
      case SectionKind::Copy:
        NextCopy(cursor, item);
        break;
      case SectionKind::PathList:
        NextPath(cursor, item);
        break;
      case SectionKind::DosWords:
        NextDosWord(cursor, item);
        break;
      case SectionKind::Registry:
        NextRegistryEntry(cursor, item);
        break;
      case SectionKind::Message:
        ++cursor->section;
        continue;
    }
    cursor->stopped = item->removesControl && cursor->stopAtControlFile;
    return true;
  }
  return false;
}

bool ExpandForRun(const Directories& directories, const char* value,
                  char* out) {
  if (directories.systemsOwn) return ExpandPathMacros(out, kPathSize, value);
  return ExpandPathMacrosWith(out, kPathSize, value, directories.windows,
                              directories.system);
}

void JudgePath(PathRole role, const Directories& directories,
               EntryValue* value) {
  if (strlen(value->value) > static_cast<size_t>(kPathSize - 1)) {
    value->passed = "longer than 255 characters";
    return;
  }
  if (!ExpandForRun(directories, value->value, value->expanded)) {
    value->expanded[0] = '\0';
    value->passed = "longer than 255 characters once expanded";
    return;
  }
  switch (role) {
    case PathRole::MultiDelete:
      value->target = SweepTarget(value->expanded, value->path,
                                  &value->directoryLength);
      break;
    case PathRole::DeleteTree:
      value->target = TreeTarget(value->expanded, value->path);
      break;
    case PathRole::CopyFrom:
    case PathRole::CopyTo:
    case PathRole::Delete:
      value->target = FileTarget(value->expanded, value->path);
      break;
  }
  char current[kPathSize];
  uint32_t length = plat::CurrentDirectory(current, kPathSize);
  bool noCurrent = length == 0 || length >= static_cast<uint32_t>(kPathSize);
  switch (value->target) {
    case ListTarget::Act:
      return;
    case ListTarget::Device:
      value->passed = "NT or device namespace";
      return;
    case ListTarget::Untold:
      if (noCurrent && IsRelativePath(value->expanded)) {
        // The program takes it from the directory it runs in.
        value->unplaced = true;
        memcpy(value->path, value->expanded, strlen(value->expanded) + 1);
        return;
      }
      value->passed = "what it names cannot be told";
      return;
    case ListTarget::Protected:
      value->passed = role == PathRole::MultiDelete
                          ? "every file of a protected directory"
                          : "protected directory";
      return;
  }
}

bool RemovesFile(PathRole role, const EntryValue& value,
                 const char* controlFile) {
  if (controlFile == nullptr || value.passed != nullptr ||
      value.target != ListTarget::Act || value.unplaced) {
    return false;
  }
  switch (role) {
    case PathRole::Delete:
    case PathRole::CopyTo:
      return PathHolds(value.path, controlFile) &&
             PathHolds(controlFile, value.path);
    case PathRole::DeleteTree:
      return PathHolds(value.path, controlFile);
    case PathRole::MultiDelete: {
      char directory[kPathSize];
      char controlDirectory[kPathSize];
      size_t controlName = static_cast<size_t>(
          strrchr(controlFile, '\\') + 1 - controlFile);
      return DirectoryPart(value.path, value.directoryLength, directory) &&
             DirectoryPart(controlFile, controlName, controlDirectory) &&
             PathHolds(directory, controlDirectory) &&
             PathHolds(controlDirectory, directory) &&
             SearchFinds(value.path + value.directoryLength, controlFile);
    }
    case PathRole::CopyFrom:
      return false;
  }
  return false;
}
