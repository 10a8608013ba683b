#include "seldchk/plan.h"

#include <cstring>

#include "control/message.h"
#include "platform/platform.h"
#include "pnp/pnp_id_list.h"
#include "pnp/registry_target.h"
#include "seldchk/known_sections.h"
#include "seldchk/run_cursor.h"

namespace {

// The start-up files and the saved memory manager of steps 2 to 5.
const char kSavedEmm386[] = "C:\\VANTORIS\\DOS\\EMM386.EXE";
const char kAutoexec[] = "C:\\AUTOEXEC.BAT";
const char kConfigSys[] = "C:\\CONFIG.SYS";

void AddLineNote(TextLine* text, int line) {
  if (line <= 0) return;
  Add(text, " (line ");
  AddNumber(text, static_cast<unsigned long>(line));
  Add(text, ")");
}

void StartStep(TextLine* text, int number) {
  StartLine(text);
  Add(text, "  ");
  AddNumber(text, static_cast<unsigned long>(number));
  Add(text, ". ");
}

void StartItemLine(TextLine* text) {
  StartLine(text);
  Add(text, "       ");
}

void WriteItem(Output* out, const char* text) {
  TextLine line;
  StartItemLine(&line);
  Add(&line, text);
  WriteLine(out, line);
}

void AddWindowsDirectory(TextLine* text, const Directories& directories,
                         const char* name) {
  Add(text, directories.windows);
  size_t length = strlen(directories.windows);
  if (length == 0 || directories.windows[length - 1] != '\\') Add(text, "\\");
  Add(text, name);
}

// "[REBOOTNOW] (line 6)" when the section gives a text, else the built-in
// text.
void AddMessageNote(TextLine* text, const PlanSetting& setting,
                    const char* section) {
  char message[kMessageBufferSize];
  if (!LoadMessage(message, kMessageKeyCount, section, setting.readPath)) {
    Add(text, "the built-in text");
    return;
  }
  Add(text, "[", section, "]");
  AddLineNote(text, LineOf(*setting.doc, section, "1"));
}

// ---------------------------------------------------------- the machine

// The device keys below HKLM\ENUM\ISAPNP whose names begin with id.
void AddDeviceKeysNow(TextLine* text, const char* id) {
  plat::RegKey isapnp = 0;
  if (plat::OpenRegKey(plat::kHkeyLocalMachine, "ENUM\\ISAPNP", &isapnp) !=
      plat::kRegOk) {
    Add(text, "no HKEY_LOCAL_MACHINE\\ENUM\\ISAPNP key");
    return;
  }
  char list[kPnpIdValueSize + 1];
  size_t length = strlen(id);
  memcpy(list, id, length + 1);
  list[length + 1] = '\0';
  bool any = false;
  char name[kPathSize];
  for (uint32_t index = 0;
       plat::EnumRegSubkey(isapnp, index, name, sizeof name) == plat::kRegOk;
       ++index) {
    if (!MatchesPnpId(list, name)) continue;
    Add(text, any ? ", " : "matches now: ", name);
    any = true;
  }
  plat::CloseRegKey(isapnp);
  if (!any) Add(text, "matches no device key now");
}

const char* FileNow(const char* path) {
  uint32_t attributes = plat::FileAttributes(path);
  if (attributes == plat::kInvalidAttributes) {
    return "not there: nothing to delete, now or at the next start";
  }
  if (attributes & plat::kAttrDirectory) {
    return "a directory: cannot be deleted, entered in WININIT.INI";
  }
  if (attributes & plat::kAttrReadOnly) return "read-only: entered in WININIT.INI";
  return "there: deleted now, or entered in WININIT.INI while in use";
}

void AddMatchesNow(TextLine* text, const char* pattern) {
  plat::FindData data;
  plat::FindHandle find = plat::FindFirst(pattern, &data);
  if (find == plat::kNoFind) {
    Add(text, "matches nothing now");
    return;
  }
  unsigned long count = 0;
  do {
    ++count;
  } while (plat::FindNext(find, &data));
  plat::FindEnd(find);
  Add(text, "matches ");
  AddNumber(text, count);
  Add(text, count == 1 ? " entry now" : " entries now");
}

const char* RegistryNow(const char* entry) {
  RegistryTarget target;
  ReadRegistryTarget(entry, &target);
  plat::RegKey key;
  if (plat::OpenRegKey(target.root, PathBelowRoot(target), &key) !=
      plat::kRegOk) {
    return "not there";
  }
  uint32_t size = 0;
  bool there = target.value[0] == '\0' ||
               plat::QueryRegValue(key, target.value, nullptr, &size) ==
                   plat::kRegOk;
  plat::CloseRegKey(key);
  return there ? "there" : "not there";
}

const char* DirectoryNow(const char* path) {
  uint32_t attributes = plat::FileAttributes(path);
  if (attributes == plat::kInvalidAttributes) return "not there";
  if (!(attributes & plat::kAttrDirectory)) return "a file, not a directory";
  return "there";
}

void AddNow(TextLine* text, const KnownSection& known, const RunItem& item) {
  Add(text, ": ");
  switch (known.kind) {
    case SectionKind::Ids:
      AddDeviceKeysNow(text, item.value.path);
      return;
    case SectionKind::Registry:
      Add(text, RegistryNow(item.value.value));
      return;
    case SectionKind::Copy:
    case SectionKind::DosWords:
    case SectionKind::Message:
      return;
    case SectionKind::PathList:
      break;
  }
  switch (known.role) {
    case PathRole::MultiDelete:
      AddMatchesNow(text, item.value.path);
      return;
    case PathRole::DeleteTree:
      Add(text, DirectoryNow(item.value.path));
      return;
    default:
      Add(text, FileNow(item.value.path));
      return;
  }
}

// ------------------------------------------------------------- entries

void AddEntry(TextLine* text, const PlanSetting& setting,
              const RunItem& item) {
  const KnownSection& known = *item.section;
  if (item.passed != nullptr) {
    const EntryValue& bad =
        item.from.passed != nullptr && known.kind == SectionKind::Copy
            ? item.from
            : item.value;
    Add(text, known.kind == SectionKind::Copy ? "" : "key ", bad.key);
    AddLineNote(text, bad.line);
    Add(text, ": passed over (", item.passed, ")");
    return;
  }
  if (known.kind == SectionKind::Copy) {
    AddShown(text, item.from.path);
    Add(text, " -> ");
    AddShown(text, item.value.path);
    AddLineNote(text, item.from.line);
    if (setting.lookAtMachine &&
        plat::FileAttributes(item.from.path) == plat::kInvalidAttributes) {
      Add(text, ": the source is not there, the copy fails");
    }
    return;
  }
  AddShown(text, item.value.path);
  AddLineNote(text, item.value.line);
  if (setting.lookAtMachine && known.kind != SectionKind::DosWords) {
    AddNow(text, known, item);
  }
}

void StartRunOf(RunCursor* cursor, const PlanSetting& setting) {
  const RunPlace& place = PlanPlace(*setting.places);
  StartRun(cursor, setting.readPath, setting.doc, setting.directories,
           place.known ? place.controlPath : nullptr, true);
}

void WriteHeader(const PlanSetting& setting, Output* out) {
  TextLine text;
  StartLine(&text);
  Add(&text, "plan of a full uninstall ", setting.reading,
      ", after Yes to ");
  AddMessageNote(&text, setting, "AREYOUSURE");
  Add(&text, ":");
  WriteLine(out, text);
  StartLine(&text);
  Add(&text, "  Windows directory ", setting.directories->windows);
  if (strcmp(setting.windowsSource, setting.systemSource) != 0) {
    Add(&text, " (", setting.windowsSource, ")");
  }
  Add(&text, ", system directory ", setting.directories->system, " (",
      setting.systemSource, ")");
  WriteLine(out, text);
  const RunPlaces& places = *setting.places;
  StartLine(&text);
  if (places.diskHandsOver) {
    Add(&text, "  started in ", places.disk.directory,
        ", it hands over to its copy in ");
    Add(&text, places.handOver.known ? places.handOver.directory
                                     : "the temporary directory",
        ", which reads ",
        places.handOver.known ? places.handOver.controlPath
                              : "its copy of the control file");
  } else if (places.disk.known) {
    Add(&text, "  started in ", places.disk.directory, ", it reads ",
        places.disk.controlPath);
  } else {
    Add(&text, "  started in a directory not given (--cwd names it): "
        "relative paths stay as written");
  }
  WriteLine(out, text);
}

void WriteRemoved(const RunItem& item, Output* out) {
  WriteItem(out, item.section->role == PathRole::CopyTo
                     ? "the control file is replaced: the program reads the "
                       "rest from the copy, which this plan does not show"
                     : "the control file is gone: the program reads nothing "
                       "more of it");
}

// ---------------------------------------------------------------- table

// One line of the table: step, action, target, source, key, line. Control
// characters, which no name may hold, show as "?", so that no field holds
// a tab or a line end.
void WriteRow(Output* out, int step, const char* action, const char* target,
              const char* source, const EntryValue* value) {
  TextLine text;
  StartLine(&text);
  AddNumber(&text, static_cast<unsigned long>(step));
  Add(&text, "\t", action, "\t");
  AddShown(&text, target);
  Add(&text, "\t");
  AddShown(&text, source);
  Add(&text, "\t");
  if (value != nullptr) {
    Add(&text, value->key, "\t");
    AddNumber(&text, static_cast<unsigned long>(value->line));
  } else {
    Add(&text, "\t");
  }
  WriteLine(out, text);
}

}  // namespace

void WritePlan(const PlanSetting& setting, Output* out) {
  WriteHeader(setting, out);
  RunCursor cursor;
  StartRunOf(&cursor, setting);
  RunItem item;
  bool have = NextRunItem(&cursor, &item);
  bool removed = false;
  TextLine text;
  for (size_t s = 0; s < kKnownSectionCount; ++s) {
    const KnownSection& known = kKnownSections[s];
    if (known.kind == SectionKind::Message) continue;
    StartStep(&text, known.step);
    Add(&text, known.heading);
    WriteLine(out, text);
    bool any = false;
    for (; have && item.section == &known; have = NextRunItem(&cursor, &item)) {
      if (item.kind == RunItemKind::ListEnd) continue;
      any = true;
      StartItemLine(&text);
      AddEntry(&text, setting, item);
      WriteLine(out, text);
      if (item.removesControl) {
        WriteRemoved(item, out);
        removed = true;
      }
    }
    if (!any) {
      WriteItem(out, removed ? "(not read: the control file is gone)"
                             : known.kind == SectionKind::Ids ? "(no ids)"
                             : known.kind == SectionKind::DosWords
                                 ? "(no words of its own)"
                                 : "(no entries)");
    }
    if (known.kind == SectionKind::Ids) {
      StartStep(&text, 2);
      Add(&text, kSavedEmm386, " copied to ");
      AddWindowsDirectory(&text, *setting.directories, "EMM386.EXE");
      Add(&text, " unless one is there");
      WriteLine(out, text);
    }
    if (known.kind != SectionKind::DosWords) continue;
    StartStep(&text, 4);
    AddWindowsDirectory(&text, *setting.directories, "DOSSTART.BAT");
    Add(&text, " cleaned of the same words");
    WriteLine(out, text);
    StartStep(&text, 5);
    Add(&text, kConfigSys, " loads EMM386.EXE from ",
        setting.directories->windows);
    WriteLine(out, text);
  }
  StartLine(&text);
  Add(&text, "  closing message: ");
  AddMessageNote(&text, setting, "REBOOTNOW");
  WriteLine(out, text);
  StartLine(&text);
  Add(&text, "  box title once the control file is read: ");
  char title[kMessagePieceSize];
  if (LoadBoxTitle(title, setting.readPath)) {
    Add(&text, "\"");
    AddShown(&text, title);
    Add(&text, "\", ");
    AddMessageNote(&text, setting, "TITLE");
  } else {
    Add(&text, "the built-in title");
  }
  WriteLine(out, text);
  StartLine(&text);
  Add(&text, "with /POSTw95: step 1 only, after Yes to ");
  AddMessageNote(&text, setting, "POSTW95");
  Add(&text, "; closing message: ");
  char message[kMessageBufferSize];
  bool own = LoadMessage(message, kMessageKeyCount, "POSTREBOOTNOW",
                         setting.readPath);
  AddMessageNote(&text, setting, own ? "POSTREBOOTNOW" : "REBOOTNOW");
  WriteLine(out, text);
}

void WritePlanTable(const PlanSetting& setting, Output* out) {
  RunCursor cursor;
  StartRunOf(&cursor, setting);
  RunItem item;
  while (NextRunItem(&cursor, &item)) {
    const KnownSection& known = *item.section;
    bool end = item.kind == RunItemKind::ListEnd;
    if (known.kind == SectionKind::DosWords && item.number == 1) {
      TextLine path;
      StartLine(&path);
      AddWindowsDirectory(&path, *setting.directories, "EMM386.EXE");
      WriteRow(out, 2, "copy-if-missing", path.text, kSavedEmm386, nullptr);
      WriteRow(out, 3, "edit", kAutoexec, "", nullptr);
    }
    if (known.kind == SectionKind::DosWords && end) {
      TextLine path;
      StartLine(&path);
      AddWindowsDirectory(&path, *setting.directories, "DOSSTART.BAT");
      WriteRow(out, 4, "edit", path.text, "", nullptr);
      WriteRow(out, 5, "edit", kConfigSys, "", nullptr);
    }
    if (end || item.passed != nullptr) continue;
    if (known.kind == SectionKind::Copy) {
      WriteRow(out, known.step, known.action, item.value.path,
               item.from.path, &item.from);
    } else {
      WriteRow(out, known.step, item.oneValue ? "delete-value" : known.action,
               item.value.path, "", &item.value);
    }
  }
}
