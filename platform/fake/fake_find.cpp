// File searches of the fake machine. A search takes its list of matches
// when it starts, so entries deleted during the search do not disturb it.
#include <cstring>

#include "platform/fake/fake_internal.h"
#include "platform/search/search_match.h"

namespace fake {

namespace {

bool AllDots(const std::string& s) {
  return s.find_first_not_of('.') == std::string::npos;
}

bool ValidShortChar(unsigned char c) {
  return c > 32 && !std::strchr("\"*+,./:;<=>?[\\]|", c);
}

// A name that is already a short (8.3) name needs no alias.
bool IsShortName(const std::string& name) {
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  for (unsigned char c : base + ext) {
    if (!ValidShortChar(c)) return false;
  }
  return dot == std::string::npos || !ext.empty();
}

std::string ShortPart(const std::string& text, size_t max) {
  std::string out;
  for (unsigned char c : text) {
    if (out.size() == max) break;
    if (c == ' ' || c == '.') continue;
    out += ValidShortChar(c) ? static_cast<char>(c) : '_';
  }
  return Upper(out);
}

// The 8.3 alias that the file system gives a long name ("x.tmpl" becomes
// "X~1.TMP"), or the one set by SetShortPath; "" for a short name. File
// searches match the alias too, so "*.TMP" finds "x.tmpl" as it does on
// the real system.
std::string ShortAlias(const Entry& e) {
  if (!e.shortPath.empty()) return LastName(e.shortPath);
  std::string name = LastName(e.path);
  if (IsShortName(name)) return std::string();
  size_t dot = name.rfind('.');
  if (dot == 0) dot = std::string::npos;
  std::string base = ShortPart(name.substr(0, dot), 6);
  std::string ext =
      dot == std::string::npos ? "" : ShortPart(name.substr(dot + 1), 3);
  if (base.empty()) base = "_";
  return base + "~1" + (ext.empty() ? "" : "." + ext);
}

}  // namespace

std::string ShortNameOf(const Entry& e) {
  std::string alias = ShortAlias(e);
  return alias.empty() ? LastName(e.path) : alias;
}

namespace {

void Fill(plat::FindData* out, const std::string& name, uint32_t attributes) {
  out->attributes = attributes;
  size_t len = name.size() < sizeof out->name ? name.size()
                                              : sizeof out->name - 1;
  std::memcpy(out->name, name.data(), len);
  out->name[len] = '\0';
}

// Splits a search pattern into the directory searched and the name pattern.
bool SplitPattern(const char* pattern, std::string* dir, std::string* name) {
  if (!pattern) return false;
  size_t len = strnlen(pattern, 32768);
  if (len == 0 || len > 32767) return false;
  std::string text(pattern, len);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  size_t cut = text.rfind('\\');
  std::string dirText;
  if (cut != std::string::npos) {
    dirText = text.substr(0, cut + 1);
    *name = text.substr(cut + 1);
  } else if (text.size() >= 2 && text[1] == ':') {
    dirText = text.substr(0, 2);
    *name = text.substr(2);
  } else {
    *name = text;
  }
  if (name->empty() || name->size() > 255) return false;
  for (unsigned char c : *name) {
    if (c < 32 || std::strchr("<>:\"|", c)) return false;
  }
  if (dirText.empty()) {
    *dir = M().state.currentDir;
    return true;
  }
  return ResolvePath(dirText.c_str(), dir);
}

std::vector<plat::FindData> Matches(const std::string& dirFull,
                                    const std::string& pattern) {
  std::vector<plat::FindData> out;
  // A search in a directory link lists the directory it points to.
  Entry* d = LinkedDirectory(FindEntry(dirFull));
  if (!d || !d->dir) return out;
  plat::FindData fd;
  if (dirFull.size() > 3) {
    std::string parent;
    ParentOf(dirFull, &parent);
    Entry* p = FindEntry(parent);
    if (WildMatch(pattern, ".")) {
      Fill(&fd, ".", d->attributes);
      out.push_back(fd);
    }
    if (WildMatch(pattern, "..")) {
      Fill(&fd, "..", p ? p->attributes : plat::kAttrDirectory);
      out.push_back(fd);
    }
  }
  for (const Entry* e : ChildrenOf(d->path)) {
    std::string name = LastName(e->path);
    std::string alias = ShortAlias(*e);
    if (!WildMatch(pattern, name) &&
        (alias.empty() || !WildMatch(pattern, alias))) {
      continue;
    }
    Fill(&fd, name, e->attributes);
    out.push_back(fd);
  }
  return out;
}

}  // namespace

bool WildMatch(const std::string& pattern, const std::string& name) {
  return SearchMatches(pattern.c_str(), name.c_str());
}

}  // namespace fake

namespace plat {

FindHandle FindFirst(const char* pattern, FindData* out) {
  fake::CallScope call("FindFirst", pattern);
  if (call.fail || !out) return kNoFind;
  std::string dir, name;
  if (!fake::SplitPattern(pattern, &dir, &name)) return kNoFind;
  std::vector<FindData> matches;
  if (fake::AllDots(name)) {
    // "DIR\\." and "DIR\\.." name a directory itself, as a full path would.
    std::string full;
    fake::Entry* e = fake::ResolvePath(pattern, &full) ? fake::FindEntry(full)
                                                       : nullptr;
    if (!e || full.size() <= 3) return kNoFind;
    FindData fd;
    fake::Fill(&fd, fake::LastName(e->path), e->attributes);
    matches.push_back(fd);
  } else {
    matches = fake::Matches(dir, name);
  }
  if (matches.empty()) return kNoFind;
  *out = matches[0];
  FindHandle h = fake::NewHandle();
  fake::M().finds[h] = matches;
  fake::M().findPos[h] = 1;
  return h;
}

bool FindNext(FindHandle find, FindData* out) {
  fake::CallScope call("FindNext", "");
  if (call.fail || !out) return false;
  fake::Machine& m = fake::M();
  auto it = m.finds.find(find);
  if (it == m.finds.end()) return false;
  size_t& pos = m.findPos[find];
  if (pos >= it->second.size()) return false;
  *out = it->second[pos++];
  return true;
}

void FindEnd(FindHandle find) {
  fake::CallScope call("FindEnd", "");
  fake::M().finds.erase(find);
  fake::M().findPos.erase(find);
}

}  // namespace plat
