// The registry of the fake machine: trees of keys below HKEY_LOCAL_MACHINE
// and HKEY_CURRENT_USER with the Windows 95 behaviour that deleting a key takes its whole subtree
// and later subkeys move down one enumeration index.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/fake/fake_internal.h"

namespace fake {

namespace {

constexpr long kErrFileNotFound = 2;
constexpr long kErrAccessDenied = 5;
constexpr long kErrInvalidHandle = 6;
constexpr long kErrInvalidParameter = 87;
constexpr long kErrBadPathname = 161;
constexpr long kErrMoreData = 234;
constexpr long kErrNoMoreItems = 259;
constexpr long kErrKeyDeleted = 1018;

// A name inside a key path: length characters from begin.
struct KeyName {
  const char* begin;
  size_t length;
};

// The next name of a key path from *pos (backslashes separate names, empty
// names are skipped); false at the end of the path.
bool NextKeyName(const char** pos, const char* end, KeyName* name) {
  const char* p = *pos;
  while (p < end && *p == '\\') ++p;
  if (p == end) {
    *pos = p;
    return false;
  }
  const char* stop = p;
  while (stop < end && *stop != '\\') ++stop;
  *name = KeyName{p, static_cast<size_t>(stop - p)};
  *pos = stop;
  return true;
}

bool SameName(const std::string& a, KeyName b) {
  if (a.size() != b.length) return false;
  for (size_t i = 0; i < b.length; ++i) {
    if (plat::UpperAscii(a[i]) != plat::UpperAscii(b.begin[i])) return false;
  }
  return true;
}

uint64_t ChildNamed(const RegNode& node, KeyName name) {
  for (uint64_t id : node.children) {
    RegNode* c = RegNodeById(id);
    if (c && SameName(c->name, name)) return id;
  }
  return 0;
}

// The key that a handle names: 0 with *err set when there is none.
uint64_t KeyOfHandle(plat::RegKey key, long* err) {
  if (key == plat::kHkeyLocalMachine) return kRegRootId;
  if (key == plat::kHkeyCurrentUser) return kRegCurrentUserId;
  auto& handles = M().regHandles;
  auto it = handles.find(key);
  if (it == handles.end()) {
    *err = kErrInvalidHandle;
    return 0;
  }
  if (!RegNodeById(it->second)) {
    *err = kErrKeyDeleted;
    return 0;
  }
  return it->second;
}

// Follows path below the key `from`; 0 with *err set when a key is missing.
uint64_t Walk(uint64_t from, const char* path, long* err) {
  if (!path) return from;
  size_t len = strnlen(path, 65536);
  if (len > 65535) {
    *err = kErrInvalidParameter;
    return 0;
  }
  if (len > 0 && path[0] == '\\') {
    *err = kErrBadPathname;
    return 0;
  }
  uint64_t id = from;
  const char* end = path + len;
  KeyName name;
  while (NextKeyName(&path, end, &name)) {
    id = ChildNamed(*RegNodeById(id), name);
    if (!id) {
      *err = kErrFileNotFound;
      return 0;
    }
  }
  return id;
}

void EraseTree(uint64_t id) {
  RegNode* n = RegNodeById(id);
  if (!n) return;
  std::vector<uint64_t> children = n->children;
  for (uint64_t c : children) EraseTree(c);
  M().state.reg.erase(id);
}

// The root key that a test path starts with, HKLM or HKCU; 0 for any
// other start.
uint64_t RootOf(const std::string& path, const char** pos) {
  *pos = path.data();
  KeyName root;
  if (!NextKeyName(pos, path.data() + path.size(), &root)) return 0;
  if (SameName("HKLM", root)) return kRegRootId;
  return SameName("HKCU", root) ? kRegCurrentUserId : 0;
}

// Creates the key at a test path such as "HKLM\\ENUM\\ISAPNP".
uint64_t MakeKey(const std::string& path) {
  const char* pos;
  uint64_t id = RootOf(path, &pos);
  if (!id) return 0;
  State& s = M().state;
  KeyName name;
  while (NextKeyName(&pos, path.data() + path.size(), &name)) {
    uint64_t next = ChildNamed(s.reg[id], name);
    if (!next) {
      next = s.nextRegId++;
      RegNode& n = s.reg[next];
      n.name.assign(name.begin, name.length);
      n.parent = id;
      s.reg[id].children.push_back(next);
    }
    id = next;
  }
  return id;
}

uint64_t KeyAt(const std::string& path) {
  const char* pos;
  uint64_t id = RootOf(path, &pos);
  KeyName name;
  while (id && NextKeyName(&pos, path.data() + path.size(), &name)) {
    id = ChildNamed(*RegNodeById(id), name);
  }
  return id;
}

std::string ValueText(const RegValue& v) {
  char buf[64];
  if (v.type == 1) {
    std::string text = v.bytes;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return "\"" + text + "\"";
  }
  if (v.type == 4 && v.bytes.size() == 4) {
    uint32_t d;
    std::memcpy(&d, v.bytes.data(), 4);
    std::snprintf(buf, sizeof buf, "dword:0x%08x", d);
    return buf;
  }
  // Written out by hand: snprintf for every byte is slow, and the fuzz
  // targets dump values of hundreds of bytes many times over.
  static const char kHex[] = "0123456789abcdef";
  std::string out = "hex:";
  out.reserve(4 + 3 * v.bytes.size());
  for (size_t i = 0; i < v.bytes.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(v.bytes[i]);
    if (i > 0) out += ' ';
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

// Dumps the key id, whose full path is path, and everything below it.
void DumpInto(uint64_t id, const std::string& path,
              std::vector<std::string>* out) {
  RegNode* n = RegNodeById(id);
  if (!n) return;
  out->push_back(path);
  for (const RegValue& v : n->values) {
    std::string line = path;
    line += " : ";
    line += v.name;
    line += " = ";
    line += ValueText(v);
    out->push_back(std::move(line));
  }
  std::string childPath = path;
  childPath += '\\';
  for (uint64_t c : n->children) {
    RegNode* child = RegNodeById(c);
    if (!child) continue;
    childPath.resize(path.size() + 1);
    childPath += child->name;
    DumpInto(c, childPath, out);
  }
}

void SetValue(const std::string& keyPath, const std::string& name,
              const std::string& bytes, uint32_t type) {
  uint64_t id = MakeKey(keyPath);
  if (!id) return;
  RegNode& n = M().state.reg[id];
  for (RegValue& v : n.values) {
    if (EqualNoCase(v.name, name)) {
      v.type = type;
      v.bytes = bytes;
      return;
    }
  }
  n.values.push_back(RegValue{name, type, bytes});
}

}  // namespace

std::string CallArgOfHandle(plat::RegKey key) {
  long err = 0;
  uint64_t id = KeyOfHandle(key, &err);
  return id ? RegPathOf(id) : std::string();
}

RegNode* RegNodeById(uint64_t id) {
  auto& reg = M().state.reg;
  auto it = reg.find(id);
  return it == reg.end() ? nullptr : &it->second;
}

std::string RegPathOf(uint64_t id) {
  RegNode* n = RegNodeById(id);
  if (!n) return std::string();
  if (id == kRegRootId || !n->parent) return n->name;
  return RegPathOf(n->parent) + "\\" + n->name;
}

// --------------------------------------------------------- test functions

void AddRegKey(const std::string& path) { MakeKey(path); }

void SetRegValue(const std::string& keyPath, const std::string& name,
                 const std::string& bytes, uint32_t type) {
  SetValue(keyPath, name, bytes, type);
}

void SetRegString(const std::string& keyPath, const std::string& name,
                  const std::string& text) {
  SetValue(keyPath, name, text + std::string(1, '\0'), 1);
}

void SetRegDword(const std::string& keyPath, const std::string& name,
                 uint32_t value) {
  std::string bytes(4, '\0');
  std::memcpy(&bytes[0], &value, 4);
  SetValue(keyPath, name, bytes, 4);
}

bool RegKeyExists(const std::string& path) { return KeyAt(path) != 0; }

std::vector<std::string> RegDump(const std::string& root) {
  std::vector<std::string> out;
  uint64_t id = KeyAt(root);
  if (id) DumpInto(id, RegPathOf(id), &out);
  return out;
}

}  // namespace fake

// --------------------------------------------------------- platform calls

namespace plat {

long OpenRegKey(RegKey parent, const char* path, RegKey* out) {
  fake::CallScope call("OpenRegKey", path);
  if (call.fail) return fake::kErrAccessDenied;
  if (!out) return fake::kErrInvalidParameter;
  long err = 0;
  uint64_t from = fake::KeyOfHandle(parent, &err);
  if (!from) return err;
  uint64_t id = fake::Walk(from, path, &err);
  if (!id) return err;
  RegKey h = fake::NewHandle();
  fake::M().regHandles[h] = id;
  *out = h;
  return kRegOk;
}

long EnumRegSubkey(RegKey key, uint32_t index, char* name, uint32_t size) {
  fake::CallScope call("EnumRegSubkey", key, fake::CallArgOfHandle);
  if (call.fail) return fake::kErrAccessDenied;
  long err = 0;
  uint64_t id = fake::KeyOfHandle(key, &err);
  if (!id) return err;
  if (!name) return fake::kErrInvalidParameter;
  fake::RegNode* n = fake::RegNodeById(id);
  if (index >= n->children.size()) return fake::kErrNoMoreItems;
  const std::string& child = fake::RegNodeById(n->children[index])->name;
  if (child.size() + 1 > size) return fake::kErrMoreData;
  std::memcpy(name, child.c_str(), child.size() + 1);
  return kRegOk;
}

long QueryRegValue(RegKey key, const char* name, void* data, uint32_t* size) {
  fake::CallScope call("QueryRegValue", key, fake::CallArgOfHandle);
  if (call.fail) return fake::kErrAccessDenied;
  long err = 0;
  uint64_t id = fake::KeyOfHandle(key, &err);
  if (!id) return err;
  if (data && !size) return fake::kErrInvalidParameter;
  std::string wanted = name ? std::string(name, strnlen(name, 65536)) : "";
  for (const fake::RegValue& v : fake::RegNodeById(id)->values) {
    if (!fake::EqualNoCase(v.name, wanted)) continue;
    uint32_t need = static_cast<uint32_t>(v.bytes.size());
    if (!data) {
      if (size) *size = need;
      return kRegOk;
    }
    if (*size < need) {
      *size = need;
      return fake::kErrMoreData;
    }
    if (need) std::memcpy(data, v.bytes.data(), need);
    *size = need;
    return kRegOk;
  }
  return fake::kErrFileNotFound;
}

long EnumRegValue(RegKey key, uint32_t index, void* data, uint32_t* size) {
  fake::CallScope call("EnumRegValue", key, fake::CallArgOfHandle);
  if (call.fail) return fake::kErrAccessDenied;
  long err = 0;
  uint64_t id = fake::KeyOfHandle(key, &err);
  if (!id) return err;
  if (!data || !size) return fake::kErrInvalidParameter;
  const std::vector<fake::RegValue>& values = fake::RegNodeById(id)->values;
  if (index >= values.size()) return fake::kErrNoMoreItems;
  const std::string& bytes = values[index].bytes;
  uint32_t need = static_cast<uint32_t>(bytes.size());
  if (*size < need) {
    *size = need;
    return fake::kErrMoreData;
  }
  if (need) std::memcpy(data, bytes.data(), need);
  *size = need;
  return kRegOk;
}

long DeleteRegTree(RegKey parent, const char* path) {
  fake::CallScope call("DeleteRegTree", path);
  if (call.fail) return fake::kErrAccessDenied;
  long err = 0;
  uint64_t from = fake::KeyOfHandle(parent, &err);
  if (!from) return err;
  if (!path || !*path) return fake::kErrInvalidParameter;
  uint64_t id = fake::Walk(from, path, &err);
  if (!id) return err;
  if (id == fake::kRegRootId || id == fake::kRegCurrentUserId) {
    return fake::kErrAccessDenied;
  }
  fake::RegNode* n = fake::RegNodeById(id);
  fake::RegNode* p = fake::RegNodeById(n->parent);
  if (p) {
    auto& siblings = p->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), id),
                   siblings.end());
  }
  fake::EraseTree(id);
  return kRegOk;
}

long DeleteRegValue(RegKey key, const char* name) {
  fake::CallScope call("DeleteRegValue", key, fake::CallArgOfHandle);
  if (call.fail) return fake::kErrAccessDenied;
  long err = 0;
  uint64_t id = fake::KeyOfHandle(key, &err);
  if (!id) return err;
  std::string wanted = name ? std::string(name, strnlen(name, 65536)) : "";
  std::vector<fake::RegValue>& values = fake::RegNodeById(id)->values;
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (!fake::EqualNoCase(it->name, wanted)) continue;
    values.erase(it);
    return kRegOk;
  }
  return fake::kErrFileNotFound;
}

long CloseRegKey(RegKey key) {
  fake::CallScope call("CloseRegKey", key, fake::CallArgOfHandle);
  if (key == kHkeyLocalMachine || key == kHkeyCurrentUser) {
    return call.fail ? fake::kErrAccessDenied : kRegOk;
  }
  // A failed close still gives the handle back, as the system does.
  size_t erased = fake::M().regHandles.erase(key);
  if (call.fail) return fake::kErrAccessDenied;
  return erased ? kRegOk : fake::kErrInvalidHandle;
}

}  // namespace plat
