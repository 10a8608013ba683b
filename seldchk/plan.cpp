#include "seldchk/plan.h"

#include "control/path_helpers.h"
#include "platform/platform.h"
#include "pnp/pnp_id_list.h"

namespace {

// The start-up files and the saved memory manager of steps 2 to 5.
const char kSavedEmm386[] = "C:\\VANTORIS\\DOS\\EMM386.EXE";
const char kAutoexec[] = "C:\\AUTOEXEC.BAT";
const char kConfigSys[] = "C:\\CONFIG.SYS";

std::string LineNote(int line) {
  return line > 0 ? " (line " + std::to_string(line) + ")" : "";
}

std::string Step(int number, const std::string& text) {
  return "  " + std::to_string(number) + ". " + text + "\n";
}

std::string Item(const std::string& text) { return "       " + text + "\n"; }

std::string MessageNote(const ControlRead& read, const std::string& section) {
  for (const auto& message : read.messages) {
    if (message.first == section) {
      return "[" + section + "]" + LineNote(message.second);
    }
  }
  return "the built-in text";
}

// ---------------------------------------------------------- the machine

// The device keys below HKLM\ENUM\ISAPNP whose names begin with id.
std::string DeviceKeysNow(const std::string& id) {
  plat::RegKey isapnp = 0;
  if (plat::OpenRegKey(plat::kHkeyLocalMachine, "ENUM\\ISAPNP", &isapnp) !=
      plat::kRegOk) {
    return "no HKEY_LOCAL_MACHINE\\ENUM\\ISAPNP key";
  }
  std::string list(id);
  list.push_back('\0');
  std::string found;
  char name[kPathSize];
  for (uint32_t index = 0;
       plat::EnumRegSubkey(isapnp, index, name, sizeof name) == plat::kRegOk;
       ++index) {
    if (!MatchesPnpId(list.c_str(), name)) continue;
    found += (found.empty() ? "" : ", ") + std::string(name);
  }
  plat::CloseRegKey(isapnp);
  return found.empty() ? "matches no device key now" : "matches now: " + found;
}

std::string FileNow(const std::string& path) {
  uint32_t attributes = plat::FileAttributes(path.c_str());
  if (attributes == plat::kInvalidAttributes) {
    return "not there: nothing to delete, now or at the next start";
  }
  if (attributes & plat::kAttrDirectory) {
    return "a directory: cannot be deleted, entered in WININIT.INI";
  }
  if (attributes & plat::kAttrReadOnly) {
    return "read-only: entered in WININIT.INI";
  }
  return "there: deleted now, or entered in WININIT.INI while in use";
}

std::string MatchesNow(const std::string& pattern) {
  plat::FindData data;
  plat::FindHandle find = plat::FindFirst(pattern.c_str(), &data);
  if (find == plat::kNoFind) return "matches nothing now";
  int count = 0;
  do {
    ++count;
  } while (plat::FindNext(find, &data));
  plat::FindEnd(find);
  return "matches " + std::to_string(count) + " entr" +
         (count == 1 ? "y" : "ies") + " now";
}

std::string DirectoryNow(const std::string& path) {
  uint32_t attributes = plat::FileAttributes(path.c_str());
  if (attributes == plat::kInvalidAttributes) return "not there";
  if (!(attributes & plat::kAttrDirectory)) return "a file, not a directory";
  return "there";
}

// --------------------------------------------------------------- lists

std::string EntryText(const ReadEntry& entry) {
  if (!entry.passed.empty()) {
    return "key " + entry.key + LineNote(entry.line) + ": passed over (" +
           entry.passed + ")";
  }
  return entry.path + LineNote(entry.line);
}

std::string ListItems(const std::vector<ReadEntry>& entries,
                      std::string (*now)(const std::string&),
                      bool lookAtMachine) {
  if (entries.empty()) return Item("(no entries)");
  std::string text;
  for (const ReadEntry& entry : entries) {
    std::string note;
    if (lookAtMachine && entry.passed.empty()) note = ": " + now(entry.path);
    text += Item(EntryText(entry) + note);
  }
  return text;
}

std::string CopyItems(const std::vector<CopyPair>& pairs, bool lookAtMachine) {
  if (pairs.empty()) return Item("(no entries)");
  std::string text;
  for (const CopyPair& pair : pairs) {
    if (!pair.from.passed.empty() || !pair.to.passed.empty()) {
      const ReadEntry& bad = pair.from.passed.empty() ? pair.to : pair.from;
      text += Item(bad.key + LineNote(bad.line) + ": passed over (" +
                   bad.passed + ")");
      continue;
    }
    std::string note;
    if (lookAtMachine &&
        plat::FileAttributes(pair.from.path.c_str()) == plat::kInvalidAttributes) {
      note = ": the source is not there, the copy fails";
    }
    text += Item(pair.from.path + " -> " + pair.to.path +
                 LineNote(pair.from.line) + note);
  }
  return text;
}

std::string IdItems(const std::vector<ReadEntry>& ids, bool lookAtMachine) {
  if (ids.empty()) return Item("(no ids)");
  std::string text;
  for (const ReadEntry& id : ids) {
    std::string note = lookAtMachine ? ": " + DeviceKeysNow(id.value) : "";
    text += Item(id.value + LineNote(id.line) + note);
  }
  return text;
}

// ---------------------------------------------------------------- table

// One line of the table: step, action, target, source, key, line. Control
// characters, which no name may hold, show as "?", so that no field holds
// a tab or a line end.
std::string Row(int step, const char* action, const std::string& target,
                const std::string& source, const ReadEntry* entry) {
  std::string key = entry ? entry->key : "";
  std::string line = entry ? std::to_string(entry->line) : "";
  return std::to_string(step) + "\t" + action + "\t" + Shown(target) + "\t" +
         Shown(source) + "\t" + key + "\t" + line + "\n";
}

std::string ListRows(int step, const char* action,
                     const std::vector<ReadEntry>& entries) {
  std::string rows;
  for (const ReadEntry& entry : entries) {
    if (entry.passed.empty()) rows += Row(step, action, entry.path, "", &entry);
  }
  return rows;
}

}  // namespace

std::string PlanTable(const ControlRead& read,
                      const Directories& directories) {
  std::string windirSlash = directories.windows;
  if (windirSlash.empty() || windirSlash.back() != '\\') windirSlash += "\\";
  std::string rows;
  for (const ReadEntry& id : read.ids) {
    rows += Row(1, "remove-devices", id.value, "", &id);
  }
  rows += Row(2, "copy-if-missing", windirSlash + "EMM386.EXE", kSavedEmm386,
              nullptr);
  rows += Row(3, "edit", kAutoexec, "", nullptr);
  rows += Row(4, "edit", windirSlash + "DOSSTART.BAT", "", nullptr);
  rows += Row(5, "edit", kConfigSys, "", nullptr);
  for (const CopyPair& pair : read.copies) {
    if (!pair.from.passed.empty() || !pair.to.passed.empty()) continue;
    rows += Row(6, "copy", pair.to.path, pair.from.path, &pair.from);
  }
  rows += ListRows(7, "delete", read.deletes);
  rows += ListRows(8, "delete-matching", read.multdels);
  rows += ListRows(9, "delete-tree", read.deltrees);
  return rows;
}

std::string DescribePlan(const ControlRead& read,
                         const Directories& directories, bool lookAtMachine) {
  const std::string& windir = directories.windows;
  std::string windirSlash = windir;
  if (windirSlash.empty() || windirSlash.back() != '\\') windirSlash += "\\";
  std::string text = "plan of a full uninstall, after Yes to " +
                     MessageNote(read, "AREYOUSURE") + ":\n";
  text += Step(1, "device keys below HKEY_LOCAL_MACHINE\\ENUM\\ISAPNP "
                  "beginning with an id, with their driver keys:");
  text += IdItems(read.ids, lookAtMachine);
  text += Step(2, std::string(kSavedEmm386) + " copied to " + windirSlash +
                  "EMM386.EXE unless one is there");
  text += Step(3, std::string(kAutoexec) +
                  " cleaned of HALCYREN.ROM and HALCYRENE");
  text += Step(4, windirSlash + "DOSSTART.BAT cleaned of HALCYREN.ROM and "
                  "HALCYRENE");
  text += Step(5, std::string(kConfigSys) + " loads EMM386.EXE from " +
                  windir);
  text += Step(6, "[copy]:");
  text += CopyItems(read.copies, lookAtMachine);
  text += Step(7, "[delete] (what cannot be deleted now goes to WININIT.INI):");
  text += ListItems(read.deletes, FileNow, lookAtMachine);
  text += Step(8, "[multdel]:");
  text += ListItems(read.multdels, MatchesNow, lookAtMachine);
  text += Step(9, "[deltree]:");
  text += ListItems(read.deltrees, DirectoryNow, lookAtMachine);
  text += "  closing message: " + MessageNote(read, "REBOOTNOW") + "\n";
  text += "with /POSTw95: step 1 only, after Yes to " +
          MessageNote(read, "POSTW95") + "\n";
  return text;
}
