#include "seldchk/path_checks.h"

#include "control/ascii_chars.h"
#include "control/path_helpers.h"
#include "control/path_macros.h"
#include "fileops/file_lists.h"
#include "fileops/list_targets.h"
#include "fileops/protected_dirs.h"
#include "seldchk/ini_document.h"
#include "platform/platform.h"

namespace {

const size_t kLongestPath = kPathSize - 1;

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '_';
}

bool IsMacro(const std::string& token) {
  return token == "%WINDIR%" || token == "%WINSYS%";
}

bool HasWildcard(const std::string& text) {
  return text.find_first_of("*?") != std::string::npos;
}

// The path's length once its macro is expanded, and what the macro is
// expanded to, for a finding.
std::string ExpansionNote(const std::string& value,
                          const Directories& directories, size_t* length) {
  bool windows = value.compare(0, 8, "%WINDIR%") == 0;
  const std::string& directory =
      windows ? directories.windows : directories.system;
  *length = directory.size() + value.size() - 8;
  return std::string(windows ? "%WINDIR%" : "%WINSYS%") + " as " + directory;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A directory that starts from a current directory ("NAME", "\NAME",
// "X:NAME") when the platform tells none (seldchk without --cwd): the
// guards cannot tell what it names, and the program will judge it from the
// directory it runs in.
bool StartsFromUnknownDirectory(const std::string& directory) {
  bool full = directory.size() >= 3 && IsAsciiLetter(directory[0]) &&
              directory[1] == ':' && IsSeparator(directory[2]);
  bool network = directory.size() >= 2 && IsSeparator(directory[0]) &&
                 IsSeparator(directory[1]);
  if (full || network) return false;
  char current[kPathSize];
  uint32_t length = plat::CurrentDirectory(current, sizeof current);
  return length == 0 || length >= sizeof current;
}

void WarnUnknownDirectory(const std::string& label, const ReadEntry& entry,
                          Findings* findings) {
  findings->Warn(entry.line, label + ": " + Shown(entry.path) +
                 " starts from the current directory: whether the program "
                 "passes it over depends on the directory it runs in; give "
                 "--cwd to judge it");
}

void CheckPattern(const std::string& label, ReadEntry* entry,
                  Findings* findings) {
  size_t directoryLength = DirectoryPartLength(entry->path.c_str());
  if (!HasWildcard(entry->path.substr(directoryLength))) {
    findings->Warn(entry->line, label +
                   ": no \"*\" or \"?\" in the name: one file, which is not "
                   "left for the next start when it cannot be deleted now; "
                   "put it in [delete]");
  }
  if (entry->value.find('/') != std::string::npos) {
    findings->Warn(entry->line, label +
                   ": \"/\" in a pattern: the directory part ends at the "
                   "last \"/\"; write \"\\\"");
  }
}

// What the lists do with the value, as they decide it (list_targets.h):
// a finding and the reason when they pass it over.
void CheckTarget(ListTarget target, PathRole role, const std::string& label,
                 ReadEntry* entry, Findings* findings) {
  const std::string shown = Shown(entry->path);
  std::string finding;
  const char* reason = "";
  switch (target) {
    case ListTarget::Act:
      return;
    case ListTarget::Device:
      finding = shown +
                " is in the NT or device namespace (\\??\\, \\\\?\\, "
                "\\\\.\\), which Windows 95 lacks and where the system skips "
                "the checks a path gets";
      reason = "NT or device namespace";
      break;
    case ListTarget::Untold:
      if (StartsFromUnknownDirectory(
              role == PathRole::MultiDelete
                  ? entry->path.substr(0, DirectoryPartLength(
                                              entry->path.c_str()))
                  : entry->path)) {
        // Without --cwd: the program judges it in the directory it runs in.
        bool sweep = role == PathRole::MultiDelete &&
                     NamesEveryFile(entry->path.c_str() +
                                    DirectoryPartLength(entry->path.c_str()));
        if (role == PathRole::DeleteTree || sweep) {
          WarnUnknownDirectory(label, *entry, findings);
        }
        return;
      }
      finding = "what " + shown +
                " names cannot be told (a name of dots only, a \":\" after "
                "the drive, a network name without its share, or more than "
                "255 characters once made absolute)";
      reason = "what it names cannot be told";
      break;
    case ListTarget::Protected: {
      bool sweep = role == PathRole::MultiDelete;
      finding = shown + (sweep ? " names every file of a protected directory"
                               : " is a protected directory (a drive root, "
                                 "the Windows, system or temporary "
                                 "directory, a shared folder such as the "
                                 "Start menu's Programs, or one that holds "
                                 "them)");
      reason = sweep ? "every file of a protected directory"
                     : "protected directory";
      break;
    }
  }
  finding = label + ": " + finding + ": the program passes it over";
  if (target == ListTarget::Protected) {
    findings->Fail(entry->line, finding);
  } else {
    findings->Warn(entry->line, finding);
  }
  entry->passed = reason;
}

}  // namespace

void CheckReadAsWritten(const std::string& label, int line,
                        const std::string& value, Findings* findings) {
  size_t semicolon = value.find(';');
  if (semicolon != std::string::npos && semicolon > 0) {
    findings->Warn(line, label + ": \";\" starts no comment after a value: "
                   "the path is \"" + Shown(value) + "\"");
  }
  if (value.find('"') != std::string::npos) {
    findings->Warn(line, label + ": the quote is part of the path: quotes "
                   "count only in pairs around the whole value");
  }
}

void CheckMacros(const std::string& label, int line, const std::string& value,
                 Findings* findings) {
  size_t i = 0;
  while ((i = value.find('%', i)) != std::string::npos) {
    size_t end = i + 1;
    while (end < value.size() && IsNameChar(value[end])) ++end;
    std::string name = value.substr(i + 1, end - i - 1);
    std::string upper = UpperName(name);
    if (end >= value.size() || value[end] != '%' || name.empty()) {
      if (upper == "WINDIR" || upper == "WINSYS") {
        findings->Warn(line, label + ": \"%" + name +
                       "\" lacks its closing \"%\": it is taken as written");
      }
      i = end;
      continue;
    }
    std::string token = value.substr(i, end - i + 1);
    if (IsMacro(token) && i != 0) {
      findings->Warn(line, label + ": \"" + token +
                     "\" is expanded only at the start of a value: here it "
                     "is taken as written");
    } else if (!IsMacro(token) && (upper == "WINDIR" || upper == "WINSYS")) {
      findings->Warn(line, label + ": \"" + token +
                     "\" is not expanded: path macros are written in "
                     "capitals, \"%" + upper + "%\"");
    } else if (!IsMacro(token)) {
      const char* meant =
          upper.find("SYS") != std::string::npos ? "%WINSYS%" : "%WINDIR%";
      findings->Warn(line, label + ": \"" + Shown(token) +
                     "\" is no path macro and is taken as written: did you "
                     "mean " + meant + "?");
    }
    i = end + 1;
  }
}

void CheckPathValue(PathRole role, const std::string& label,
                    const Directories& directories, ReadEntry* entry,
                    Findings* findings) {
  const std::string& value = entry->value;
  if (value.size() > kLongestPath) {
    findings->Warn(entry->line, label + ": the path has " +
                   std::to_string(value.size()) +
                   " characters: the program passes over a path of more "
                   "than 255");
    entry->passed = "longer than 255 characters";
    return;
  }
  CheckMacros(label, entry->line, value, findings);
  CheckReadAsWritten(label, entry->line, value, findings);
  char path[kPathSize];
  if (!ExpandPathMacrosWith(path, kPathSize, value.c_str(),
                            directories.windows.c_str(),
                            directories.system.c_str())) {
    size_t length = 0;
    std::string note = ExpansionNote(value, directories, &length);
    findings->Warn(entry->line, label + ": with " + note + " the path has " +
                   std::to_string(length) +
                   " characters: the program passes over a path of more "
                   "than 255");
    entry->passed = "longer than 255 characters once expanded";
    return;
  }
  entry->path = path;
  char target[kPathSize];
  size_t directoryLength = 0;
  switch (role) {
    case PathRole::Delete:
      if (HasWildcard(value)) {
        findings->Warn(entry->line, label +
                       ": \"*\" and \"?\" are no wildcards in [delete]: only "
                       "a file of exactly that name is deleted; put patterns "
                       "in [multdel]");
      }
      CheckTarget(FileTarget(path, target), role, label, entry, findings);
      break;
    case PathRole::MultiDelete:
      CheckPattern(label, entry, findings);
      CheckTarget(SweepTarget(path, target, &directoryLength), role, label,
                  entry, findings);
      break;
    case PathRole::DeleteTree:
      CheckTarget(TreeTarget(path, target), role, label, entry, findings);
      break;
    case PathRole::CopyFrom:
    case PathRole::CopyTo:
      CheckTarget(FileTarget(path, target), role, label, entry, findings);
      break;
  }
}
