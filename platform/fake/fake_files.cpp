// Files and directories of the fake machine: the entry table, the platform
// calls that change it, and the test functions that set it up.
#include <algorithm>
#include <cstring>

#include "platform/fake/fake_internal.h"
#include "platform/win32/rename_steps.h"

namespace fake {

// ------------------------------------------------------------ entry table

namespace {

// The table key of a full path, in a buffer kept from call to call, so that
// looking an entry up seldom allocates: the fuzz targets look up thousands
// of times an input. Valid until the next call.
const std::string& KeyOf(const std::string& full) {
  static std::string key;
  key.assign(full);
  for (char& c : key) c = plat::UpperAscii(c);
  return key;
}

}  // namespace

Entry* FindEntry(const std::string& full) {
  auto& files = M().state.files;
  auto it = files.find(KeyOf(full));
  return it == files.end() ? nullptr : &it->second;
}

namespace {

Entry* LookUp(const char* path) {
  // Reused from call to call, so that a look-up seldom allocates.
  static std::string key;
  if (!ResolvePath(path, &key)) return nullptr;
  for (char& c : key) c = plat::UpperAscii(c);
  auto& files = M().state.files;
  auto found = files.find(key);
  Entry* e = found == files.end() ? nullptr : &found->second;
  // "NAME\\" can only name a directory.
  size_t len = std::strlen(path);
  bool slash = path[len - 1] == '\\' || path[len - 1] == '/';
  return e && slash && !e->dir ? nullptr : e;
}

}  // namespace

Entry* FindEntry(const char* path) {
  // A full path means the same whatever the current directory: the answer
  // for the last one holds until a file is created or removed. Programs ask
  // for the same file many times in a row.
  bool full = path && ((path[0] >= 'A' && path[0] <= 'Z') ||
                       (path[0] >= 'a' && path[0] <= 'z')) &&
              path[1] == ':' && path[2] == '\\';
  auto& last = M().lastFound;
  if (full && last.valid && last.generation == M().filesChanged &&
      last.path == path) {
    return last.entry;
  }
  Entry* e = LookUp(path);
  if (full) {
    last.valid = true;
    last.generation = M().filesChanged;
    last.path = path;
    last.entry = e;
  }
  return e;
}

Entry* NewEntry(const std::string& full, bool dir) {
  State& s = M().state;
  Entry& e = s.files[Upper(full)];
  e = Entry();
  FilesChanged();
  e.path = full;
  e.dir = dir;
  e.attributes = dir ? plat::kAttrDirectory : 0;
  e.seq = s.nextSeq++;
  return &e;
}

// The parent directory of full exists (a drive root always has one).
bool ParentExists(const std::string& full) {
  std::string parent;
  if (!ParentOf(full, &parent)) return false;
  Entry* p = FindEntry(parent);
  return p && p->dir;
}

void Erase(const std::string& full) {
  M().state.files.erase(KeyOf(full));
  FilesChanged();
}

bool MoveEntry(const std::string& from, const std::string& to) {
  Entry* s = FindEntry(from);
  if (!s || s->dir || IsBusy(*s) || FindEntry(to) || !ParentExists(to)) {
    return false;
  }
  Entry moved = *s;
  Erase(from);
  Entry* d = NewEntry(to, false);
  d->data = std::move(moved.data);
  d->attributes = moved.attributes;
  d->unreadable = moved.unreadable;
  return true;
}

bool DiskRefuses(bool addsBytes) {
  const Machine& m = M();
  if (m.diskFault == DiskFault::None || m.callCount < m.diskFaultFrom) {
    return false;
  }
  return m.diskFault == DiskFault::WriteProtected || addsBytes;
}

Entry* MakeDirs(const std::string& full) {
  Entry* e = FindEntry(full);
  if (e) return e->dir ? e : nullptr;
  std::string parent;
  if (ParentOf(full, &parent) && !MakeDirs(parent)) return nullptr;
  return NewEntry(full, true);
}

std::vector<Entry*> ChildrenOf(const std::string& dirFull) {
  std::vector<Entry*> out;
  std::string prefix = Upper(JoinPath(dirFull, ""));
  auto& files = M().state.files;
  for (auto it = files.lower_bound(prefix); it != files.end(); ++it) {
    const std::string& key = it->first;
    if (key.compare(0, prefix.size(), prefix) != 0) break;
    if (key.size() == prefix.size()) continue;  // the root itself
    if (key.find('\\', prefix.size()) != std::string::npos) continue;
    out.push_back(&it->second);
  }
  std::sort(out.begin(), out.end(),
            [](const Entry* a, const Entry* b) { return a->seq < b->seq; });
  return out;
}

bool IsOpen(const std::string& key) {
  for (const auto& f : M().files) {
    if (f.second.key == key) return true;
  }
  return false;
}

bool IsBusy(const Entry& e) { return e.inUse || IsOpen(KeyOf(e.path)); }

bool EraseFile(Entry* e) {
  if (e->dir || IsBusy(*e)) return false;
  Erase(e->path);
  return true;
}

// -------------------------------------------------------- platform calls

}  // namespace fake

namespace plat {

using fake::CallScope;
using fake::Entry;
using fake::FindEntry;

namespace {

// Windows 95 writes a copy's target in place, in steps that a cut can come
// between: the target empty, then half of it. A failing step leaves an
// overwritten target as far as it got and removes one it created.
bool WriteCopyInSteps(const std::string& dst, const std::string& data,
                      bool created) {
  const char* const kSteps[] = {"CopyOneFile:created", "CopyOneFile:half"};
  for (int step = 0; step < 2; ++step) {
    CallScope call(kSteps[step], dst);
    Entry* d = FindEntry(dst);
    if (call.fail || !d) {
      if (created && d) fake::Erase(dst);
      return false;
    }
    d->data = data.substr(0, step == 0 ? 0 : data.size() / 2);
    fake::FilesChanged();
  }
  return true;
}

}  // namespace

bool CopyOneFile(const char* from, const char* to, bool failIfExists) {
  CallScope call("CopyOneFile", from);
  if (call.fail) return false;
  std::string src, dst;
  if (!fake::ResolvePath(from, &src) || !fake::ResolvePath(to, &dst)) {
    return false;
  }
  Entry* s = FindEntry(src);
  if (!s || s->dir || s->unreadable) return false;
  if (fake::EqualNoCase(src, dst)) return false;  // sharing clash
  if (!fake::ParentExists(dst)) return false;
  if (fake::DiskRefuses(!s->data.empty())) return false;
  Entry* d = FindEntry(dst);
  const bool created = d == nullptr;
  if (d) {
    if (failIfExists || d->dir || fake::IsBusy(*d)) return false;
    if (d->attributes & kAttrReadOnly) return false;
  } else {
    fake::NewEntry(dst, false);
  }
  const std::string data = FindEntry(src)->data;
  const uint32_t attributes = FindEntry(src)->attributes;
  if (fake::M().windows95 && !WriteCopyInSteps(dst, data, created)) {
    return false;
  }
  d = FindEntry(dst);
  d->data = data;
  d->attributes = attributes;
  fake::FilesChanged();
  return true;
}

bool RemoveFile(const char* path) {
  CallScope call("RemoveFile", path);
  if (call.fail || fake::DiskRefuses(false)) return false;
  Entry* e = FindEntry(path);
  if (!e || (e->attributes & kAttrReadOnly)) return false;
  return fake::EraseFile(e);
}

// Trusts the attributes given, as the Win32 layer does, as if the system
// did not refuse a read-only file itself: a caller that passes other
// bits than the search returned gets a read-only file deleted here too.
bool RemoveListedFile(const char* path, uint32_t listedAttributes) {
  CallScope call("RemoveListedFile", path);
  if (call.fail || (listedAttributes & kAttrReadOnly)) return false;
  if (fake::DiskRefuses(false)) return false;
  Entry* e = FindEntry(path);
  return e && fake::EraseFile(e);
}

bool RemoveDir(const char* path) {
  CallScope call("RemoveDir", path);
  if (call.fail || fake::DiskRefuses(false)) return false;
  Entry* e = FindEntry(path);
  if (!e || !e->dir || e->path.size() <= 3) return false;
  // A link is refused as the Win32 layer refuses it: it stays, and so does
  // the directory it points to.
  if (e->attributes & (kAttrReadOnly | kAttrReparsePoint)) return false;
  if (!fake::ChildrenOf(e->path).empty()) return false;
  // No system removes the directory that a process is working in.
  if (fake::EqualNoCase(e->path, fake::M().state.currentDir)) return false;
  fake::Erase(e->path);
  return true;
}

uint32_t FileAttributes(const char* path) {
  CallScope call("FileAttributes", path);
  if (call.fail) return kInvalidAttributes;
  Entry* e = FindEntry(path);
  return e ? e->attributes : kInvalidAttributes;
}

bool ChangeFileAttributes(const char* path, uint32_t attributes) {
  CallScope call("ChangeFileAttributes", path);
  if (call.fail || fake::DiskRefuses(false)) return false;
  Entry* e = FindEntry(path);
  if (!e) return false;
  e->attributes = (attributes & ~kAttrDirectory) | (e->dir ? kAttrDirectory : 0);
  return true;
}

bool RenameFile(const char* from, const char* to) {
  CallScope call("RenameFile", from);
  if (call.fail || fake::DiskRefuses(false)) return false;
  std::string src, dst;
  return fake::ResolvePath(from, &src) && fake::ResolvePath(to, &dst) &&
         fake::MoveEntry(src, dst);
}

// On Windows 95 the Win32 layer's own steps run (win32::ReplaceByRenaming),
// each step a call of its own (fake_win95.cpp).
bool ReplaceFileWith(const char* replacement, const char* target) {
  CallScope call("ReplaceFileWith", replacement);
  if (call.fail) return false;
  std::string src, dst;
  if (!fake::ResolvePath(replacement, &src) ||
      !fake::ResolvePath(target, &dst)) {
    return false;
  }
  Entry* s = FindEntry(src);
  if (!s || s->dir || fake::IsBusy(*s)) return false;
  if (fake::EqualNoCase(src, dst)) return true;
  if (!fake::ParentExists(dst)) return false;
  Entry* d = FindEntry(dst);
  if (d) {
    if (d->dir || fake::IsBusy(*d)) return false;
    if (d->attributes & kAttrReadOnly) return false;
  }
  if (fake::M().windows95) {
    return win32::ReplaceByRenaming(replacement, target, d != nullptr);
  }
  if (fake::DiskRefuses(false)) return false;
  if (!d) {
    d = fake::NewEntry(dst, false);
    s = FindEntry(src);
  }
  d->data = s->data;
  d->attributes = s->attributes;
  d->unreadable = s->unreadable;
  fake::FilesChanged();
  fake::Erase(src);
  return true;
}

void RecoverReplacedFile(const char* target) {
  CallScope call("RecoverReplacedFile", target);
  if (!call.fail) win32::RecoverAside(target);
}

}  // namespace plat

// ------------------------------------------------------------ test functions

namespace fake {

namespace {

std::string MustResolve(const std::string& path) {
  std::string full;
  if (!ResolvePath(path.c_str(), &full)) return std::string();
  return full;
}

// Lists the entry whose table key is key, then (for a directory) each
// child in the order of their upper-case paths, which is the order of the
// table's keys.
void ListInto(const std::string& key, const Entry& e,
              std::vector<std::string>* out) {
  out->push_back(e.dir && e.path.size() > 3 ? e.path + "\\" : e.path);
  if (!e.dir) return;
  std::string prefix = JoinPath(key, "");
  const auto& files = M().state.files;
  for (auto it = files.lower_bound(prefix); it != files.end(); ++it) {
    const std::string& child = it->first;
    if (child.compare(0, prefix.size(), prefix) != 0) break;
    if (child.size() == prefix.size()) continue;  // the root itself
    if (child.find('\\', prefix.size()) != std::string::npos) continue;
    ListInto(child, it->second, out);
  }
}

}  // namespace

void AddDir(const std::string& path) {
  std::string full = MustResolve(path);
  if (!full.empty()) MakeDirs(full);
}

void AddFile(const std::string& path, const std::string& data,
             uint32_t attributes) {
  std::string full = MustResolve(path);
  std::string parent;
  if (full.empty() || !ParentOf(full, &parent) || !MakeDirs(parent)) return;
  Entry* e = FindEntry(full);
  if (e && e->dir) return;
  if (!e) e = NewEntry(full, false);
  e->data = data;
  e->attributes = attributes & ~plat::kAttrDirectory;
  FilesChanged();
}

bool Exists(const std::string& path) { return FindEntry(path.c_str()); }

bool IsDir(const std::string& path) {
  Entry* e = FindEntry(path.c_str());
  return e && e->dir;
}

std::string ReadFile(const std::string& path) {
  Entry* e = FindEntry(path.c_str());
  return e && !e->dir ? e->data : std::string();
}

uint32_t Attributes(const std::string& path) {
  Entry* e = FindEntry(path.c_str());
  return e ? e->attributes : plat::kInvalidAttributes;
}

void SetAttributes(const std::string& path, uint32_t attributes) {
  Entry* e = FindEntry(path.c_str());
  if (!e) return;
  constexpr uint32_t kKind = plat::kAttrDirectory | plat::kAttrReparsePoint;
  e->attributes = (attributes & ~kKind) | (e->attributes & kKind);
}

void AddDirLink(const std::string& path, const std::string& target) {
  std::string full = MustResolve(path);
  std::string parent;
  std::string targetFull = MustResolve(target);
  if (full.empty() || targetFull.empty() || FindEntry(full) ||
      !ParentOf(full, &parent) || !MakeDirs(parent)) {
    return;
  }
  Entry* e = NewEntry(full, true);
  e->attributes = plat::kAttrDirectory | plat::kAttrReparsePoint;
  e->linkTarget = targetFull;
  M().state.hasLinks = true;
  FilesChanged();
}

void SetInUse(const std::string& path, bool inUse) {
  Entry* e = FindEntry(path.c_str());
  if (e) e->inUse = inUse;
}

void SetUnreadable(const std::string& path, bool unreadable) {
  Entry* e = FindEntry(path.c_str());
  if (e) e->unreadable = unreadable;
}

std::vector<std::string> ListTree(const std::string& root) {
  std::vector<std::string> out;
  out.reserve(M().state.files.size());
  if (!root.empty()) {
    std::string key = Upper(MustResolve(root));
    auto found = M().state.files.find(key);
    if (!key.empty() && found != M().state.files.end()) {
      ListInto(key, found->second, &out);
    }
    return out;
  }
  for (const auto& kv : M().state.files) {
    if (kv.second.path.size() == 3) ListInto(kv.first, kv.second, &out);
  }
  return out;
}

void SetShortPath(const std::string& path, const std::string& shortPath) {
  Entry* e = FindEntry(path.c_str());
  if (e) e->shortPath = shortPath;
}

void SetCurrentDir(const std::string& path) {
  std::string full = MustResolve(path);
  if (full.empty() || !MakeDirs(full)) return;
  M().state.currentDir = full;
}

std::string CurrentDir() { return M().state.currentDir; }
void SetTempPath(const std::string& path) { M().state.tempPath = path; }
void SetWindowsDir(const std::string& path) { M().state.windowsDir = path; }
void SetSystemDir(const std::string& path) { M().state.systemDir = path; }

}  // namespace fake
