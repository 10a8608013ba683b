// Fuzz target: the wildcard and tree-removal lists against a direct model.
//
// The lists read each directory once and act on the entries in order. The
// model below does what that reading stands in for: it starts a new search
// after every removal and takes the first match (the first entry that is not
// a dot-named directory, in a tree), up to the first removal that fails. Both
// apply the same rules: the directory part of a pattern ends at its last
// ":", "\" or "/"; values are acted on in their normal form, those in the
// NT or device namespaces or that cannot be told passed over; a directory
// link (0x400) is never entered, the named one included; entries naming a
// protected directory (a drive root, the Windows, system or temporary
// directory, a shared folder, or one holding them) are passed over, in
// [multdel] only when the pattern's name part, without its trailing blanks
// and dots, is all wildcards and dots. The model's normal form and
// protected-directory test are its own, on std::string.
//
// The input describes a machine (files read-only, hidden, system or in use;
// directories that cannot be removed; dot-named entries; long names; links
// out of the tree, into it and onto themselves), the current directory, the
// Windows directory's place, and
// [multdel] and [deltree] values built from spellings ("/", "C:", relative,
// "..", macros, letter case) and patterns (*.*, *., ?X*, .*, C:*.TMP, ...)
// or from raw characters. (A heap that runs out is left to the unit tests:
// a listing that gets no entry at all ends its directory at once, where
// the model, which needs no heap, would still try the first entry.)
//
// Checked: both make the same removal calls in the same order (the failing
// one that stops a walk included) and leave the same machine; no search is
// left open; and, unless a raw [deltree] value could name one, the
// directories behind links lose nothing to [deltree].
#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fileops/file_lists.h"
#include "platform/fake/fake_machine.h"
#include "platform/platform.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/unit/support/scratch_record.h"

namespace {

const char kControl[] = "C:\\CTL\\SELDUNAX.INI";
const char kOutside[] = "C:\\OUT";  // where the links out of the tree lead
constexpr size_t kMaxPath = 255;

// ------------------------------------------------------------- the machine

const char* const kNames[] = {
    "A.TMP",        "B.TXT", "AX.TMP",  "X.DRV",  "OLD1.DRV",
    "OLD2.DRV",     ".HID",  ".GIT",    "NOEXT",  "LONGNAME.TMPL",
    "ABCDEFGH.TMP", "S1",    "SUB.DIR", "A",      "X.Y.Z",
    "~1.TMP",       "..X",   "B.",      "Q X.TMP"};

const char* const kPatterns[] = {
    "*.*",   "*.",           "?X*",   ".*",    "*.TMP",
    "*",     "????????.???", "A*",    "*.T?P", "OLD*.DRV",
    "B.TXT", "*~1*",         "*.???", "X.DRV", ""};

// Characters of raw values: separators, wildcards, dots, drive letters,
// names and macro pieces.
const char kRawAlphabet[] = "C:\\/.*?ATXSBO1~ %WINDRSYL";

struct Machine {
  std::vector<std::string> dirs;   // real directories of the tree
  std::vector<std::string> links;  // directory links in it
  std::string currentDir;
};

std::string Join(const std::string& dir, const std::string& name) {
  return dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

std::string RawText(FuzzReader* in) {
  std::string raw = in->Bytes().substr(0, 100);
  for (char& c : raw) {
    c = kRawAlphabet[static_cast<unsigned char>(c) % (sizeof kRawAlphabet - 1)];
  }
  return raw;
}

void PlaceWindowsDirectory(unsigned where) {
  if (where == 1) {
    // Inside the tree, so that removing the tree would take it.
    fake::AddDir("C:\\T\\WIN\\SYSTEM");
    fake::SetWindowsDir("C:\\T\\WIN");
    fake::SetSystemDir("C:\\T\\WIN\\SYSTEM");
  } else if (where == 2) {
    fake::AddDir("C:\\Program Files\\Win\\System");
    fake::SetShortPath("C:\\Program Files", "C:\\PROGRA~1");
    fake::SetShortPath("C:\\Program Files\\Win", "C:\\PROGRA~1\\WIN");
    fake::SetWindowsDir("C:\\PROGRA~1\\WIN");
    fake::SetSystemDir("C:\\Program Files\\Win\\System");
  }
}

void AddFuzzedEntry(FuzzReader* in, Machine* m) {
  unsigned op = in->Byte();
  unsigned flags = in->Byte();
  std::string parent =
      m->dirs[in->Small(static_cast<unsigned>(m->dirs.size()))];
  if (flags & 0x80) {
    const char* system[] = {"C:\\", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"};
    parent = system[in->Small(3)];
  }
  std::string name = kNames[in->Small(sizeof kNames / sizeof *kNames)];
  if (op & 0x40) name = std::string(100, 'L') + std::to_string(op & 3);
  std::string path = Join(parent, name);
  switch (op % 8) {
    case 4:
    case 5:
      fake::AddDir(path);
      // Only real directories: a path through a link would name what lies
      // behind it.
      if (fake::IsDir(path) && !(flags & 0x80) &&
          !(fake::Attributes(path) & plat::kAttrReparsePoint)) {
        m->dirs.push_back(path);
      }
      // A read-only directory cannot be removed.
      if (flags & 1) {
        fake::SetAttributes(path, plat::kAttrReadOnly | (flags & 6));
      }
      break;
    case 6: {
      const char* outside[] = {"C:\\OUT", "C:\\OUT\\EMPTY", "C:\\OUT\\SUB"};
      fake::AddDirLink(path, outside[flags % 3]);
      m->links.push_back(path);
      break;
    }
    case 7:
      // Into the tree: another of its directories, its parent, itself.
      fake::AddDirLink(path, m->dirs[flags % m->dirs.size()]);
      m->links.push_back(path);
      break;
    default:
      fake::AddFile(path, name, flags & 7);  // read-only, hidden, system
      if (flags & 8) fake::SetInUse(path, true);
  }
}

Machine BuildMachine(FuzzReader* in) {
  Machine m;
  fake::Reset();
  fake::AddFile("C:\\OUT\\KEEP.TXT", "out");
  fake::AddFile("C:\\OUT\\SUB\\KEEP.TMP", "out");
  fake::AddDir("C:\\OUT\\EMPTY");
  fake::AddFile("C:\\WINDOWS\\WIN.INI", "win");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\USER.EXE", "user");
  fake::AddFile("C:\\ROOT.TMP", "root");
  fake::AddDir("C:\\T");
  m.dirs.push_back("C:\\T");
  PlaceWindowsDirectory(in->Small(3));
  unsigned count = in->Small(24);
  for (unsigned i = 0; i < count; ++i) AddFuzzedEntry(in, &m);
  const char* others[] = {"C:\\", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"};
  unsigned pick = in->Small(static_cast<unsigned>(m.dirs.size()) + 3);
  m.currentDir =
      pick < m.dirs.size() ? m.dirs[pick] : others[pick - m.dirs.size()];
  fake::SetCurrentDir(m.currentDir);
  return m;
}

// --------------------------------------------------------- the list values

std::string Respell(std::string path, unsigned how) {
  switch (how % 6) {
    case 1:
      for (char& c : path) c = c == '\\' ? '/' : c;
      break;
    case 2:
      for (char& c : path) c = (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
      break;
    case 3:
      path += "\\.";
      break;
    case 4:
      path += "\\..\\" + path.substr(path.rfind('\\') + 1);
      break;
    case 5:
      path += "\\";
      break;
  }
  return path;
}

// A directory to search or remove, as a control file might write it.
std::string DirectoryValue(FuzzReader* in, const Machine& m, bool* raw) {
  unsigned kind = in->Small(12);
  unsigned how = in->Byte();
  const std::string& dir = m.dirs[how % m.dirs.size()];
  switch (kind) {
    case 0:
      return "C:";
    case 1:
      return "";
    case 2:
      return "%WINDIR%";
    case 3:
      return "%WINSYS%";
    case 4:
      return "C:\\";
    case 5:
      return dir.substr(dir.rfind('\\') + 1);  // relative
    case 6:
      return "C:" + dir.substr(dir.rfind('\\') + 1);
    case 7:
      if (!m.links.empty()) return m.links[how % m.links.size()];
      return dir;
    case 8:
      *raw = true;
      return RawText(in);
    default:
      return Respell(dir, how / 12);
  }
}

std::string PatternValue(FuzzReader* in, const Machine& m) {
  bool raw = false;
  std::string dir = DirectoryValue(in, m, &raw);
  if (raw) return dir;
  std::string name = kPatterns[in->Small(sizeof kPatterns / sizeof *kPatterns)];
  if (dir.empty() || dir.back() == ':' || dir.back() == '\\' ||
      dir.back() == '/') {
    return dir + name;
  }
  return dir + (in->Small(2) ? "/" : "\\") + name;
}

struct Lists {
  std::vector<std::string> multdel;
  std::vector<std::string> deltree;
  bool rawDeltree = false;
};

Lists ReadLists(FuzzReader* in, const Machine& m) {
  Lists lists;
  unsigned patterns = in->Small(5);
  for (unsigned i = 0; i < patterns; ++i)
    lists.multdel.push_back(PatternValue(in, m));
  unsigned trees = in->Small(4);
  for (unsigned i = 0; i < trees; ++i) {
    lists.deltree.push_back(DirectoryValue(in, m, &lists.rawDeltree));
  }
  return lists;
}

void WriteControlFile(const Lists& lists) {
  std::string ini = "[multdel]\r\n";
  for (size_t i = 0; i < lists.multdel.size(); ++i) {
    ini += std::to_string(i + 1) + "=" + lists.multdel[i] + "\r\n";
  }
  ini += "[deltree]\r\n";
  for (size_t i = 0; i < lists.deltree.size(); ++i) {
    ini += std::to_string(i + 1) + "=" + lists.deltree[i] + "\r\n";
  }
  fake::AddFile(kControl, ini);
}

// ----------------------------------------------------------------- model

std::string Upper(std::string text) {
  for (char& c : text) c = (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
  return text;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t cut = text.find('\\', start);
    parts.push_back(text.substr(start, cut - start));
    if (cut == std::string::npos) return parts;
    start = cut + 1;
  }
}

// A path being brought to its normal form: its root ("C:" or
// "\\SERVER\SHARE") and its names.
struct ModelPath {
  std::string root;
  std::vector<std::string> names;
};

// Adds the names of rest as the system reads them; false for a name that
// cannot be told.
bool AddModelNames(const std::string& rest, ModelPath* path) {
  for (const std::string& name : Split(rest)) {
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!path->names.empty()) path->names.pop_back();
      continue;
    }
    size_t end = name.find_last_not_of(". ");
    if (name.find(':') != std::string::npos || end == std::string::npos) {
      return false;
    }
    path->names.push_back(name.substr(0, end + 1));
  }
  return true;
}

bool IsLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// The start of an absolute text ("X:\..." or "\\SERVER\SHARE..."), and
// what follows it in *rest.
bool ModelRoot(const std::string& text, ModelPath* path, std::string* rest) {
  if (text.size() > 2 && IsLetter(text[0]) && text[1] == ':' &&
      text[2] == '\\') {
    path->root = Upper(text.substr(0, 2));
    *rest = text.substr(2);
    return true;
  }
  if (text.compare(0, 2, "\\\\") != 0) return false;
  std::vector<std::string> parts = Split(text.substr(2));
  if (parts.size() < 2 || parts[0].empty() || parts[1].empty()) return false;
  path->root = "\\\\" + parts[0] + "\\" + parts[1];
  *rest = text.substr(path->root.size());
  return true;
}

// The normal form of text (control/normal_path.h), worked out afresh:
// false for the NT and device namespaces and for what cannot be told.
bool ModelNormal(std::string text, std::string* out) {
  for (char& c : text) c = c == '/' ? '\\' : c;
  for (const char* device : {"\\??", "\\\\?", "\\\\."}) {
    if (text.compare(0, 3, device) == 0 && (text.size() == 3 || text[3] == '\\')) {
      return false;
    }
  }
  if (text.empty()) return false;
  ModelPath path;
  std::string rest;
  bool driveRelative = text.size() >= 2 && IsLetter(text[0]) &&
                       text[1] == ':' && (text.size() == 2 || text[2] != '\\');
  if (text.compare(0, 2, "\\\\") == 0 ||
      (text.size() > 2 && IsLetter(text[0]) && text[1] == ':' &&
       text[2] == '\\')) {
    if (!ModelRoot(text, &path, &rest)) return false;
  } else {
    // "X:NAME" from the current directory of drive X: this machine keeps
    // one for the drive it runs on; others start at their root.
    char current[260];
    uint32_t length = plat::CurrentDirectory(current, sizeof current);
    std::string base = length > 0 && length < 256 ? current : "";
    if (driveRelative && Upper(base.substr(0, 1)) != Upper(text.substr(0, 1))) {
      base = text.substr(0, 1) + ":\\";
    }
    std::string baseRest;
    if (!ModelRoot(base, &path, &baseRest) || !AddModelNames(baseRest, &path)) {
      return false;
    }
    rest = driveRelative ? text.substr(2) : text;
    if (!driveRelative && text[0] == '\\') path.names.clear();
  }
  if (!AddModelNames(rest, &path)) return false;
  std::string joined = path.root;
  for (const std::string& name : path.names) joined += "\\" + name;
  if (path.names.empty()) joined += "\\";
  if (joined.size() > kMaxPath) return false;
  *out = joined;
  return true;
}

// A directory in capitals, by its normal form and its short name.
std::vector<std::string> ModelSpellings(const std::string& normal) {
  std::vector<std::string> out = {Upper(normal)};
  char shortName[260];
  uint32_t length =
      plat::ShortPathName(normal.c_str(), shortName, sizeof shortName);
  std::string other;
  if (length > 0 && length < 256 && ModelNormal(shortName, &other)) {
    out.push_back(Upper(other));
  }
  return out;
}

bool ModelHolds(const std::string& outer, const std::string& inner) {
  return inner.compare(0, outer.size(), outer) == 0 &&
         (inner.size() == outer.size() || inner[outer.size()] == '\\' ||
          outer.back() == '\\');
}

// A root, the Windows, system or temporary directory, the shared folders a
// PC without registry values for them has, or a directory holding one.
bool ModelIsProtected(const std::string& normal) {
  if (normal.back() == '\\') return true;
  std::vector<std::string> places;
  for (auto reported : {plat::WindowsDirectory, plat::SystemDirectory,
                        plat::TempDirectory}) {
    char place[260];
    uint32_t length = reported(place, 256);
    std::string placeNormal;
    if (length == 0 || length >= 256 || !ModelNormal(place, &placeNormal)) {
      return true;
    }
    places.push_back(placeNormal);
  }
  const std::string windows = places[0];
  for (const char* folder :
       {"Desktop", "Start Menu", "Start Menu\\Programs",
        "Start Menu\\Programs\\StartUp", "Fonts", "Favorites", "Recent",
        "SendTo", "ShellNew", "NetHood"}) {
    places.push_back(Join(windows, folder));
  }
  places.push_back(windows.substr(0, 2) + "\\Program Files");
  places.push_back(windows.substr(0, 2) + "\\Program Files\\Common Files");
  std::vector<std::string> named = ModelSpellings(normal);
  for (const std::string& place : places) {
    for (const std::string& inner : ModelSpellings(place)) {
      for (const std::string& outer : named) {
        if (ModelHolds(outer, inner)) return true;
      }
    }
  }
  return false;
}

// The expanded value of key n, or false when the list ends there; *usable
// false for values (or expansions) over 255 characters.
bool ModelValue(const char* section, int n, std::string* value, bool* usable) {
  char text[1024];
  plat::ReadProfileString(section, std::to_string(n).c_str(), "", text,
                          sizeof text, kControl);
  if (text[0] == '\0') return false;
  *value = text;
  *usable = value->size() <= kMaxPath;
  for (const char* macro : {"%WINDIR%", "%WINSYS%"}) {
    if (value->compare(0, 8, macro) != 0) continue;
    char place[260];
    uint32_t length = macro[4] == 'D' ? plat::WindowsDirectory(place, 256)
                                      : plat::SystemDirectory(place, 256);
    if (length == 0 || length >= 256) *usable = false;
    *value = std::string(place, *usable ? length : 0) + value->substr(8);
    break;
  }
  *usable = *usable && value->size() <= kMaxPath;
  return true;
}

void ModelMultiDelete(const std::string& value) {
  size_t cut = value.find_last_of(":\\/");
  std::string dirText = cut == std::string::npos ? "." : value.substr(0, cut + 1);
  std::string name = value.substr(cut == std::string::npos ? 0 : cut + 1);
  std::string dir;
  if (!ModelNormal(dirText, &dir)) return;
  std::string trimmed = name.substr(0, name.find_last_not_of(". ") + 1);
  if (trimmed.find_first_not_of("*?.<>\"") == std::string::npos &&
      ModelIsProtected(dir)) {
    return;
  }
  std::string prefix = dir.back() == '\\' ? dir : dir + "\\";
  std::string pattern = prefix + name;
  if (pattern.size() > kMaxPath) return;
  for (;;) {
    plat::FindData found;
    plat::FindHandle find = plat::FindFirst(pattern.c_str(), &found);
    if (find == plat::kNoFind) return;
    plat::FindEnd(find);
    std::string path = prefix + found.name;
    if (path.size() > kMaxPath || !plat::RemoveFile(path.c_str())) return;
  }
}

void ModelDeleteContents(const std::string& dir) {
  std::string pattern = dir + "\\*.*";
  if (pattern.size() > kMaxPath) return;
  for (;;) {
    plat::FindData found;
    plat::FindHandle find = plat::FindFirst(pattern.c_str(), &found);
    if (find == plat::kNoFind) return;
    bool more = true;
    while (more && (found.attributes & plat::kAttrDirectory) &&
           found.name[0] == '.') {
      more = plat::FindNext(find, &found);
    }
    plat::FindEnd(find);
    if (!more) return;
    std::string path = dir + "\\" + found.name;
    bool removed = false;
    if (path.size() <= kMaxPath) {
      if (found.attributes & plat::kAttrDirectory) {
        if (!(found.attributes & plat::kAttrReparsePoint)) {
          ModelDeleteContents(path);
        }
        removed = plat::RemoveDir(path.c_str());
      } else {
        removed = plat::RemoveFile(path.c_str());
      }
    }
    if (!removed) return;
  }
}

void ModelDeleteTree(const std::string& value) {
  // "C:" alone is taken for a root written short.
  bool bareDrive = value.size() == 2 && value[1] == ':' && IsLetter(value[0]);
  std::string dir;
  if (bareDrive || !ModelNormal(value, &dir) || ModelIsProtected(dir)) return;
  uint32_t attributes = plat::FileAttributes(dir.c_str());
  if (attributes == plat::kInvalidAttributes ||
      !(attributes & plat::kAttrReparsePoint)) {
    ModelDeleteContents(dir);
  }
  plat::RemoveDir(dir.c_str());
}

void RunModelList(const char* section, void (*act)(const std::string&)) {
  for (int n = 1;; ++n) {
    std::string value;
    bool usable = false;
    if (!ModelValue(section, n, &value, &usable)) return;
    if (usable) act(value);
  }
}

// ------------------------------------------------------------- comparing

std::vector<std::string> Removals(size_t from) {
  std::vector<std::string> out;
  const std::vector<fake::Call>& log = fake::CallLog();
  for (size_t i = from; i < log.size(); ++i) {
    std::string function = log[i].function;
    // The walks delete with the attributes their listing gave, the model
    // without: both are a file removal.
    if (function == "RemoveListedFile") function = "RemoveFile";
    if (function == "RemoveFile" || function == "RemoveDir") {
      out.push_back(function + " " + log[i].arg);
    }
  }
  return out;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += "  " + line + "\n";
  return out;
}

// The lists only remove: what is left is told by the paths that remain.
struct Outcome {
  std::vector<std::string> removals;
  std::vector<std::string> left;
  bool outsideKept;
};

template <typename MultDel, typename Deltree>
Outcome Run(MultDel multdel, Deltree deltree) {
  Outcome outcome;
  size_t from = fake::CallLog().size();
  multdel();
  std::vector<std::string> outside = fake::ListTree(kOutside);
  deltree();
  outcome.outsideKept = fake::ListTree(kOutside) == outside;
  outcome.removals = Removals(from);
  outcome.left = fake::ListTree("");
  FUZZ_CHECK(fake::OpenFinds() == 0, "%d searches left open",
             fake::OpenFinds());
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader in(data, size);
  Machine machine = BuildMachine(&in);
  Lists lists = ReadLists(&in, machine);
  WriteControlFile(lists);
  std::shared_ptr<fake::State> start = fake::Snapshot();
  Outcome real = Run([] { RunMultiDeleteList(kControl, ScratchRecord()); },
                     [] { RunDeltreeList(kControl, ScratchRecord()); });

  fake::Restore(start);
  Outcome model = Run([] { RunModelList("multdel", ModelMultiDelete); },
                      [] { RunModelList("deltree", ModelDeleteTree); });

  FUZZ_CHECK(real.removals == model.removals,
             "removals differ\nlists:\n%s%s\nreal:\n%s\nsearch again:\n%s",
             Join(lists.multdel).c_str(), Join(lists.deltree).c_str(),
             Join(real.removals).c_str(), Join(model.removals).c_str());
  FUZZ_CHECK(real.left == model.left,
             "machines differ\nreal:\n%s\nsearch again:\n%s",
             Join(real.left).c_str(), Join(model.left).c_str());
  // Only links lead there, and no generated value names it.
  FUZZ_CHECK(real.outsideKept || lists.rawDeltree, "[deltree] changed %s\n%s",
             kOutside, Join(lists.deltree).c_str());
  return 0;
}
