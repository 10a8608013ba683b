#include "seldchk/path_checks.h"

#include <cstring>

#include "control/path_macros.h"
#include "fileops/file_lists.h"
#include "fileops/protected_dirs.h"
#include "platform/profile/profile_reader.h"

namespace {

const size_t kLongestPath = kPathSize - 1;

// A path macro's name, in capitals and without its "%"s: "WINDIR".
struct PathMacro {
  char name[16];
};

// Whether name (length bytes) is a path macro's as written or, with
// anyCase, in capitals; its capitals into *macro. The program's own table
// (control/path_macros.h) decides.
bool MacroNamed(const char* name, size_t length, bool anyCase,
                PathMacro* macro) {
  char written[sizeof macro->name + 2];
  if (length + 3 > sizeof written) return false;
  written[0] = '%';
  for (size_t i = 0; i < length; ++i) {
    macro->name[i] = plat::UpperAscii(name[i]);
    written[i + 1] = anyCase ? macro->name[i] : name[i];
  }
  macro->name[length] = '\0';
  written[length + 1] = '%';
  written[length + 2] = '\0';
  return LeadingMacroLength(written) == static_cast<int>(length + 2);
}

// The macro at the very start of value, as the program expands it.
bool LeadingMacro(const char* value, PathMacro* macro) {
  int length = LeadingMacroLength(value);
  return length > 0 &&
         MacroNamed(value + 1, static_cast<size_t>(length - 2), false, macro);
}

// The directory a macro stands for in the run into out (kPathSize bytes);
// false when it cannot be told.
bool DirectoryOf(const PathMacro& macro, const Directories& directories,
                 char* out) {
  char alone[sizeof macro.name + 2];
  alone[0] = '%';
  size_t length = strlen(macro.name);
  memcpy(alone + 1, macro.name, length);
  memcpy(alone + 1 + length, "%", 2);
  return ExpandForRun(directories, alone, out);
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '_';
}

bool HasWildcard(const char* text) {
  return strchr(text, '*') != nullptr || strchr(text, '?') != nullptr;
}

void Finding(Findings* findings, int line, bool error, const TextLine& text) {
  if (error) {
    Fail(findings, line, text);
  } else {
    Warn(findings, line, text);
  }
}

void StartFinding(TextLine* text, const char* label) {
  StartLine(text);
  Add(text, label, ": ");
}

void CheckMacros(const char* label, int line, const char* value,
                 Findings* findings) {
  size_t length = strlen(value);
  size_t i = 0;
  while (i < length) {
    if (value[i] != '%') {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < length && IsNameChar(value[end])) ++end;
    const char* name = value + i + 1;
    size_t nameLength = end - i - 1;
    PathMacro macro;
    bool anyCase = MacroNamed(name, nameLength, true, &macro);
    TextLine text;
    StartFinding(&text, label);
    if (end >= length || value[end] != '%' || nameLength == 0) {
      if (anyCase) {
        Add(&text, "\"%");
        AddSpan(&text, name, nameLength);
        Add(&text, "\" lacks its closing \"%\": it is taken as written");
        Warn(findings, line, text);
      }
      i = end;
      continue;
    }
    PathMacro written;
    bool exact = MacroNamed(name, nameLength, false, &written);
    if (exact && i != 0) {
      Add(&text, "\"%", macro.name, "%\" is expanded only at the start of a "
          "value: here it is taken as written");
      Warn(findings, line, text);
    } else if (!exact && anyCase) {
      Add(&text, "\"");
      AddSpan(&text, value + i, end - i + 1);
      Add(&text, "\" is not expanded: path macros are written in capitals, "
          "\"%", macro.name, "%\"");
      Warn(findings, line, text);
    } else if (!exact) {
      Add(&text, "\"");
      AddShown(&text, value + i, end - i + 1);
      bool system = false;
      for (size_t k = 0; k + 3 <= nameLength; ++k) {
        system = system || CompareProfileNames(name + k, 3, "SYS", 3) == 0;
      }
      Add(&text, "\" is no path macro and is taken as written: did you mean ",
          system ? "%WINSYS%" : "%WINDIR%", "?");
      Warn(findings, line, text);
    }
    i = end + 1;
  }
}

// "%WINDIR%NAME": the directory and the name run together.
void CheckMacroJoin(const PathCheck& check, Findings* findings) {
  const char* value = check.value->value;
  PathMacro macro;
  if (!LeadingMacro(value, &macro)) return;
  const char* rest = value + strlen(macro.name) + 2;
  if (rest[0] == '\0' || rest[0] == '\\' || rest[0] == '/') return;
  TextLine text;
  StartFinding(&text, check.label);
  Add(&text, "nothing stands between \"%", macro.name, "%\" and \"");
  AddShown(&text, rest);
  Add(&text, "\": the path is ");
  AddShown(&text, check.value->expanded);
  Add(&text, "; write \"%", macro.name, "%\\");
  AddShown(&text, rest);
  Add(&text, "\"");
  Warn(findings, check.value->line, text);
}

void CheckLength(const PathCheck& check, Findings* findings) {
  const EntryValue& value = *check.value;
  TextLine text;
  StartFinding(&text, check.label);
  if (check.wholeLength > kLongestPath || value.expanded[0] == '\0') {
    size_t length = check.wholeLength;
    PathMacro macro;
    char directory[kPathSize];
    if (check.wholeLength <= kLongestPath && LeadingMacro(value.value, &macro)) {
      if (!DirectoryOf(macro, *check.directories, directory)) {
        Add(&text, "%", macro.name, "% names no folder that the program can "
            "use here (its Shell Folders value is too long or relative): the "
            "program passes the path over");
        Warn(findings, value.line, text);
        return;
      }
      length = strlen(directory) + strlen(value.value) - strlen(macro.name) -
               2;
      Add(&text, "with %", macro.name, "% as ", directory, " ");
    }
    Add(&text, "the path has ");
    AddNumber(&text, length);
    Add(&text, " characters: the program passes over a path of more than "
        "255");
    Warn(findings, value.line, text);
  }
}

void CheckPattern(const PathCheck& check, Findings* findings) {
  const EntryValue& value = *check.value;
  size_t part = DirectoryPartLength(value.expanded);
  TextLine text;
  if (!HasWildcard(value.expanded + part)) {
    StartFinding(&text, check.label);
    Add(&text, "no \"*\" or \"?\" in the name: one file, which is not left "
        "for the next start when it cannot be deleted now; put it in "
        "[delete]");
    Warn(findings, value.line, text);
  }
  if (strchr(value.value, '/') != nullptr) {
    StartFinding(&text, check.label);
    Add(&text, "\"/\" in a pattern: the directory part ends at the last "
        "\"/\"; write \"\\\"");
    Warn(findings, value.line, text);
  }
}

// What the lists do with the value, as they decide it (list_targets.h).
void CheckTarget(const PathCheck& check, Findings* findings) {
  const EntryValue& value = *check.value;
  TextLine text;
  StartFinding(&text, check.label);
  switch (value.target) {
    case ListTarget::Act:
      return;
    case ListTarget::Device:
      AddShown(&text, value.expanded);
      Add(&text, " is in the NT or device namespace (\\??\\, \\\\?\\, "
          "\\\\.\\), which Windows 95 lacks and where the system skips the "
          "checks a path gets");
      break;
    case ListTarget::Untold:
      if (value.unplaced) return;  // the relative finding says the rest
      Add(&text, "what ");
      AddShown(&text, value.expanded);
      Add(&text, " names cannot be told (a name of dots only, a \":\" after "
          "the drive, a network name without its share, or more than 255 "
          "characters once made absolute)");
      break;
    case ListTarget::Protected:
      AddShown(&text, value.expanded);
      Add(&text, check.role == PathRole::MultiDelete
                     ? " names every file of a protected directory"
                     : " is a protected directory (a drive root, the "
                       "Windows, system or temporary directory, a shared "
                       "folder such as the Start menu's Programs, or one "
                       "that holds them)");
      break;
  }
  Add(&text, ": the program passes it over");
  Finding(findings, value.line, value.target == ListTarget::Protected, text);
}

// What the checked value names in place: as the run cursor judged it where
// the plan runs, else judged afresh.
void JudgedIn(const PathCheck& check, const RunPlace& place,
              EntryValue* there) {
  if (&place == &PlanPlace(*check.places) && !check.value->unplaced) {
    *there = *check.value;
  } else {
    JudgeInPlace(check.role, *check.directories, *check.value, place, there);
  }
}

void AddForm(TextLine* text, const EntryValue& there) {
  if (there.passed == nullptr) {
    AddShown(text, there.path);
    return;
  }
  AddShown(text, there.expanded);
  Add(text, ", which the program passes over (", there.passed, ")");
}

// A relative value names one place when the program is started where the
// control file lies and another after the hand-over to the temporary
// directory; nothing to say when both pass it over.
void CheckRelative(const PathCheck& check, Findings* findings) {
  const EntryValue& value = *check.value;
  if (value.expanded[0] == '\0' || value.target == ListTarget::Device ||
      !IsRelativePath(value.expanded)) {
    return;
  }
  const RunPlaces& places = *check.places;
  EntryValue disk;
  EntryValue handOver;
  JudgedIn(check, places.disk, &disk);
  JudgedIn(check, places.handOver, &handOver);
  if ((places.diskHandsOver || disk.passed != nullptr) &&
      handOver.passed != nullptr) {
    return;
  }
  TextLine text;
  StartFinding(&text, check.label);
  AddShown(&text, value.expanded);
  Add(&text, " depends on the directory the program runs in: ");
  if (places.diskHandsOver) {
    Add(&text, "after the hand-over from C:\\VANTORIS, where the control "
        "file lies, it names ");
    AddForm(&text, handOver);
  } else if (places.disk.known) {
    Add(&text, "started in ", places.disk.directory, " it names ");
    AddForm(&text, disk);
    Add(&text, ", and after the hand-over from C:\\VANTORIS ");
    AddForm(&text, handOver);
  } else {
    Add(&text, "after the hand-over from C:\\VANTORIS it names ");
    AddForm(&text, handOver);
    Add(&text, ", and elsewhere a place in the directory it is started in "
        "(--cwd names one)");
  }
  Add(&text, "; write the full path");
  Warn(findings, value.line, text);
}

}  // namespace

void CheckReadAsWritten(const char* label, int line, const char* value,
                        Findings* findings) {
  const char* semicolon = strchr(value, ';');
  TextLine text;
  if (semicolon != nullptr && semicolon != value) {
    StartFinding(&text, label);
    Add(&text, "\";\" starts no comment after a value: the path is \"");
    AddShown(&text, value);
    Add(&text, "\"");
    Warn(findings, line, text);
  }
  // A file name may hold "'", but a lone one at either end is likelier a
  // quote the reader did not drop.
  size_t length = strlen(value);
  bool loneQuote = length > 0 && (value[0] == '\'' || value[length - 1] == '\'');
  if (strchr(value, '"') != nullptr || loneQuote) {
    StartFinding(&text, label);
    Add(&text, "the quote is part of the path: quotes count only in pairs "
        "around the whole value");
    Warn(findings, line, text);
  }
}

void CheckUtf8(const char* label, int line, const char* value,
               const char* tail, Findings* findings) {
  if (!LooksLikeUtf8(value, strlen(value))) return;
  TextLine text;
  StartFinding(&text, label);
  Add(&text, "\"");
  AddShown(&text, value);
  Add(&text, "\" is UTF-8 text: Windows reads each character outside ASCII "
      "as two to four characters of the ANSI code page", tail,
      "; save the file as ANSI text");
  Warn(findings, line, text);
}

void JudgeInPlace(PathRole role, const Directories& directories,
                  const EntryValue& value, const RunPlace& place,
                  EntryValue* there) {
  *there = value;
  if (value.expanded[0] == '\0' || value.target == ListTarget::Device ||
      !IsRelativePath(value.expanded) || !place.known) {
    return;
  }
  there->passed = nullptr;
  there->unplaced = false;
  if (!AbsoluteFrom(place.directory, value.expanded, there->value)) {
    there->passed = "longer than 255 characters once made absolute";
    return;
  }
  JudgePath(role, directories, there);
}

void CheckPathValue(const PathCheck& check, Findings* findings) {
  const EntryValue& value = *check.value;
  CheckLength(check, findings);
  if (check.wholeLength > kLongestPath) return;
  CheckMacros(check.label, value.line, value.value, findings);
  CheckReadAsWritten(check.label, value.line, value.value, findings);
  if (value.expanded[0] == '\0') return;
  CheckMacroJoin(check, findings);
  CheckUtf8(check.label, value.line, value.value, ", and so another name",
            findings);
  if (check.role == PathRole::Delete && value.target != ListTarget::Device &&
      HasWildcard(value.expanded)) {
    TextLine text;
    StartFinding(&text, check.label);
    Add(&text, "\"*\" and \"?\" are no wildcards in [delete]: only a file of "
        "exactly that name is deleted; put patterns in [multdel]");
    Warn(findings, value.line, text);
  }
  if (check.role == PathRole::MultiDelete) CheckPattern(check, findings);
  CheckTarget(check, findings);
  CheckRelative(check, findings);
}
