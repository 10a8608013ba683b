// Path arithmetic of the fake machine, after the Win32 rules for full path
// names: drive letters, the current directory, "X:name" relative to the
// current directory of drive X, "." and "..", and MAX_PATH.
#include <cstring>

#include "platform/fake/fake_internal.h"

namespace fake {

namespace {

constexpr size_t kMaxPath = 260;         // MAX_PATH, terminator included
constexpr size_t kMaxInput = 32767;      // longest path any call accepts
constexpr int kMaxLinkHops = 32;         // more means the links loop

using plat::UpperAscii;

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool BadNameChar(unsigned char c, bool allowWild) {
  if (c < 32) return true;
  if (c == '*' || c == '?') return !allowWild;
  return std::strchr("<>:\"|", c) != nullptr;
}

// Splits text at backslashes into out, folding "." and "..".
bool AddComponents(const std::string& text, std::vector<std::string>* parts) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\\', start);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!parts->empty()) parts->pop_back();
      continue;
    }
    // Windows drops trailing blanks and dots from a name.
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) {
      name.pop_back();
    }
    if (name.empty()) continue;
    if (name.size() > 255) return false;
    parts->push_back(name);
  }
  return true;
}

// The directory against which a path on drive is resolved when it does
// not start at the root: the current directory when it is on that drive.
std::string DriveCurrentDir(char drive) {
  const std::string& cwd = M().state.currentDir;
  if (cwd.size() >= 2 && UpperAscii(cwd[0]) == UpperAscii(drive)) return cwd;
  return std::string(1, drive) + ":\\";
}

// Replaces every directory link among the directories on the way to the
// last name of full by the directory it points to.
bool FollowLinksOnTheWay(std::string* full) {
  for (int hops = 0; hops < kMaxLinkHops; ++hops) {
    size_t cut = full->find('\\', 3);
    while (cut != std::string::npos) {
      Entry* e = FindEntry(full->substr(0, cut));
      if (e && !e->linkTarget.empty()) break;
      cut = full->find('\\', cut + 1);
    }
    if (cut == std::string::npos) return true;
    *full = JoinPath(FindEntry(full->substr(0, cut))->linkTarget,
                     full->substr(cut + 1));
  }
  return false;
}

// A path that is already a full path with nothing to fold ("C:\\DIR\\NAME":
// no "/", no empty, "." or ".." names, no name ending in a blank or a dot,
// no invalid character) is its own full path but for the drive letter's
// case. Most calls give such paths; this spares them the general way.
bool AlreadyFull(const char* path, size_t len, bool allowWild,
                 std::string* full) {
  if (len < 3 || len >= kMaxPath || !IsLetter(path[0]) || path[1] != ':' ||
      path[2] != '\\') {
    return false;
  }
  size_t nameStart = 3;
  for (size_t i = 3; i < len; ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    bool nameEnds = c == '\\' || i + 1 == len;
    if (c == '/' || (c != '\\' && BadNameChar(c, allowWild))) return false;
    if (!nameEnds) continue;
    size_t end = c == '\\' ? i : i + 1;
    if (end == nameStart || end - nameStart > 255) return false;
    if (path[end - 1] == ' ' || path[end - 1] == '.') return false;
    nameStart = end + 1;
  }
  if (len > 3 && path[len - 1] == '\\') return false;
  full->assign(path, len);
  (*full)[0] = UpperAscii(path[0]);
  return true;
}

}  // namespace

Entry* LinkedDirectory(Entry* e) {
  for (int hops = 0; e && !e->linkTarget.empty(); ++hops) {
    if (hops == kMaxLinkHops) return nullptr;
    e = FindEntry(e->linkTarget);
  }
  return e;
}

std::string Upper(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

bool ResolvePath(const char* path, std::string* full, bool allowWild) {
  if (!path || !full) return false;
  size_t len = strnlen(path, kMaxInput + 1);
  if (len == 0 || len > kMaxInput) return false;
  if (AlreadyFull(path, len, allowWild, full)) {
    // Links on the way are followed as below; the path may grow by that.
    if (!M().state.hasLinks) return true;
    if (FollowLinksOnTheWay(full) && full->size() < kMaxPath) return true;
    full->clear();
    return false;
  }
  std::string text(path, len);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
    return false;  // no network names on this machine
  }

  std::string base;
  if (text.size() >= 2 && text[1] == ':') {
    if (!IsLetter(text[0])) return false;
    char drive = UpperAscii(text[0]);
    text = text.substr(2);
    if (!text.empty() && text[0] == '\\') {
      base = std::string(1, drive) + ":\\";
    } else {
      base = DriveCurrentDir(drive);
    }
  } else if (text[0] == '\\') {
    base = M().state.currentDir.substr(0, 2) + "\\";
  } else {
    base = M().state.currentDir;
  }

  for (unsigned char c : text) {
    if (c != '\\' && BadNameChar(c, allowWild)) return false;
  }
  std::vector<std::string> parts;
  if (!AddComponents(base.substr(3), &parts)) return false;
  if (!AddComponents(text, &parts)) return false;

  std::string out = base.substr(0, 2) + "\\";
  out[0] = UpperAscii(out[0]);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += '\\';
    out += parts[i];
  }
  if (M().state.hasLinks && !FollowLinksOnTheWay(&out)) return false;
  if (out.size() >= kMaxPath) return false;
  *full = out;
  return true;
}

bool ParentOf(const std::string& full, std::string* parent) {
  if (full.size() <= 3) return false;
  size_t cut = full.rfind('\\');
  if (cut == std::string::npos) return false;
  *parent = cut == 2 ? full.substr(0, 3) : full.substr(0, cut);
  return true;
}

std::string LastName(const std::string& full) {
  size_t cut = full.rfind('\\');
  return cut == std::string::npos ? full : full.substr(cut + 1);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '\\') return dir + name;
  return dir + "\\" + name;
}

uint32_t CopyOut(const std::string& s, char* out, uint32_t size) {
  uint32_t len = static_cast<uint32_t>(s.size());
  if (!out || size <= len) return len + 1;
  std::memcpy(out, s.data(), len);
  out[len] = '\0';
  return len;
}

}  // namespace fake
