// The fake machine's Windows 95 ways: the personality switch, the calls
// that the Win32 layer's Windows 95 replacement is made of, lasting disk
// faults, and the restart that carries out WININIT.INI.
#include <cstring>
#include <vector>

#include "platform/fake/fake_internal.h"
#include "platform/win32/rename_steps.h"

namespace fake {

void SetPersonality(Personality personality) {
  M().windows95 = personality == Personality::Windows95;
}

void SetDiskFault(DiskFault fault, long fromCall) {
  M().diskFault = fault;
  M().diskFaultFrom = fromCall;
}

namespace {

bool IsDosNameChar(char c) {
  return static_cast<unsigned char>(c) > ' ' &&
         std::strchr("\"*+,./:;<=>?[\\]|", c) == nullptr;
}

// One 8.3 name: one to eight characters, then a dot and up to three.
bool IsShortName(const std::string& name) {
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != std::string::npos && ext.empty()) return false;
  for (char c : base + ext) {
    if (!IsDosNameChar(c)) return false;
  }
  return true;
}

// "X:\NAME\NAME.EXT": what real-mode DOS can open.
bool IsAbsoluteShortPath(const std::string& path) {
  if (path.size() < 4 || path[1] != ':' || path[2] != '\\') return false;
  size_t start = 3;
  for (;;) {
    size_t end = path.find('\\', start);
    if (!IsShortName(path.substr(start, end - start))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

// The file whose DOS name is dosPath: its short path, or its path when it
// has none set.
std::string FileByDosName(const std::string& dosPath) {
  if (!IsAbsoluteShortPath(dosPath)) return std::string();
  for (const auto& kv : M().state.files) {
    const Entry& e = kv.second;
    if (e.dir) continue;
    const std::string& dos = e.shortPath.empty() ? e.path : e.shortPath;
    if (EqualNoCase(dos, dosPath)) return e.path;
  }
  return std::string();
}

std::string Trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return std::string();
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

// The lines of the first [rename] section.
std::vector<std::string> RenameLines(const std::string& ini) {
  std::vector<std::string> lines;
  bool inSection = false;
  bool seen = false;
  size_t start = 0;
  while (start < ini.size()) {
    size_t end = ini.find('\n', start);
    if (end == std::string::npos) end = ini.size();
    std::string line = Trimmed(ini.substr(start, end - start));
    start = end + 1;
    if (!line.empty() && line[0] == '[') {
      inSection = !seen && EqualNoCase(line, "[rename]");
      seen = seen || inSection;
    } else if (inSection && !line.empty()) {
      lines.push_back(line);
    }
  }
  return lines;
}

void CarryOut(const std::string& line) {
  size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  std::string target = Trimmed(line.substr(0, equals));
  std::string source = FileByDosName(Trimmed(line.substr(equals + 1)));
  if (source.empty()) return;
  if (EqualNoCase(target, "NUL")) {
    Erase(source);
    return;
  }
  std::string full;
  if (!IsAbsoluteShortPath(target) || !ResolvePath(target.c_str(), &full)) {
    return;
  }
  std::string existing = FileByDosName(target);
  if (!existing.empty() && !EqualNoCase(existing, source)) Erase(existing);
  MoveEntry(source, full);
}

}  // namespace

void Restart() {
  Machine& m = M();
  m.files.clear();
  m.finds.clear();
  m.findPos.clear();
  std::string ini = JoinPath(m.state.windowsDir, "WININIT.INI");
  Entry* e = FindEntry(ini);
  if (!e || e->dir) return;
  for (const std::string& line : RenameLines(e->data)) CarryOut(line);
  std::string bak = JoinPath(m.state.windowsDir, "WININIT.BAK");
  if (FindEntry(bak)) Erase(bak);
  MoveEntry(ini, bak);
}

}  // namespace fake

// The calls that win32::ReplaceByRenaming is made of, each logged as the
// Win32 call it stands for, so that a test can cut or fail a replacement
// between any two of them.
namespace win32 {

bool NameTaken(const char* path) {
  fake::CallScope call("GetFileAttributesA", path);
  return !call.fail && fake::FindEntry(path) != nullptr;
}

bool MoveName(const char* from, const char* to) {
  fake::CallScope call("MoveFileA", from);
  if (call.fail || fake::DiskRefuses(false)) return false;
  std::string src, dst;
  return fake::ResolvePath(from, &src) && fake::ResolvePath(to, &dst) &&
         fake::MoveEntry(src, dst);
}

bool DeleteName(const char* path) {
  fake::CallScope call("DeleteFileA", path);
  if (call.fail || fake::DiskRefuses(false)) return false;
  fake::Entry* e = fake::FindEntry(path);
  return e && !(e->attributes & plat::kAttrReadOnly) && fake::EraseFile(e);
}

}  // namespace win32
