// Byte I/O and the directory queries of the fake machine. Written bytes go
// into the file at once, as they reach a real file.
#include <cstring>
#include <utility>

#include "platform/fake/fake_internal.h"

namespace fake {

namespace {

OpenFile* HandleFile(uintptr_t h) {
  auto& files = M().files;
  auto it = files.find(h);
  return it == files.end() ? nullptr : &it->second;
}

std::string HandlePath(uintptr_t h) {
  OpenFile* f = HandleFile(h);
  if (!f) return std::string();
  auto& table = M().state.files;
  auto it = table.find(f->key);
  return it == table.end() ? f->key : it->second.path;
}

Entry* HandleEntry(const OpenFile& f) {
  auto& table = M().state.files;
  auto it = table.find(f.key);
  if (it == table.end() || it->second.dir) return nullptr;
  return &it->second;
}

uintptr_t Open(const std::string& full, bool write) {
  uintptr_t h = NewHandle();
  OpenFile f;
  f.key = Upper(full);
  f.write = write;
  M().files[h] = std::move(f);
  return h;
}

}  // namespace

}  // namespace fake

namespace plat {

FileHandle OpenForRead(const char* path) {
  fake::CallScope call("OpenForRead", path);
  if (call.fail) return kNoFile;
  fake::Entry* e = fake::FindEntry(path);
  if (!e || e->dir || e->unreadable) return kNoFile;
  return fake::Open(e->path, false);
}

long ReadBytes(FileHandle file, void* buf, uint32_t size) {
  fake::CallScope call("ReadBytes", file, fake::HandlePath);
  if (call.fail) return -1;
  fake::OpenFile* f = fake::HandleFile(file);
  if (!f || f->write) return -1;
  fake::Entry* e = fake::HandleEntry(*f);
  if (!e) return -1;
  if (size == 0) return 0;
  if (!buf) return -1;
  if (f->pos >= e->data.size()) return 0;
  size_t n = e->data.size() - f->pos;
  if (n > size) n = size;
  std::memcpy(buf, e->data.data() + f->pos, n);
  f->pos += n;
  return static_cast<long>(n);
}

FileHandle CreateNewFile(const char* path) {
  fake::CallScope call("CreateNewFile", path);
  if (call.fail || fake::DiskRefuses(false)) return kNoFile;
  std::string full;
  if (!fake::ResolvePath(path, &full) || !fake::ParentExists(full) ||
      fake::FindEntry(full)) {
    return kNoFile;
  }
  return fake::Open(fake::NewEntry(full, false)->path, true);
}

bool WriteBytes(FileHandle file, const void* buf, uint32_t size) {
  fake::CallScope call("WriteBytes", file, fake::HandlePath);
  if (call.fail) return false;
  fake::OpenFile* f = fake::HandleFile(file);
  if (!f || !f->write) return false;
  fake::Entry* e = fake::HandleEntry(*f);
  if (!e) return false;
  if (size == 0) return true;
  if (!buf || fake::DiskRefuses(true)) return false;
  if (e->data.size() < f->pos) e->data.resize(f->pos);
  e->data.replace(f->pos, size, static_cast<const char*>(buf), size);
  fake::FilesChanged();
  f->pos += size;
  return true;
}

// Written bytes are in the file at once here: the flush has nothing left to
// write, but a write-protected disk refuses it.
bool FlushFile(FileHandle file) {
  fake::CallScope call("FlushFile", file, fake::HandlePath);
  fake::OpenFile* f = fake::HandleFile(file);
  return !call.fail && f && f->write && !fake::DiskRefuses(false);
}

bool CloseFile(FileHandle file) {
  fake::CallScope call("CloseFile", file, fake::HandlePath);
  // A failed close still releases the handle, as fclose does.
  size_t erased = fake::M().files.erase(file);
  return !call.fail && erased == 1;
}

// ------------------------------------------------------------ directories

uint32_t CurrentDirectory(char* out, uint32_t size) {
  fake::CallScope call("CurrentDirectory", "");
  if (call.fail) return 0;
  return fake::CopyOut(fake::M().state.currentDir, out, size);
}

uint32_t TempDirectory(char* out, uint32_t size) {
  fake::CallScope call("TempDirectory", "");
  if (call.fail) return 0;
  return fake::CopyOut(fake::M().state.tempPath, out, size);
}

uint32_t WindowsDirectory(char* out, uint32_t size) {
  fake::CallScope call("WindowsDirectory", "");
  if (call.fail) return 0;
  return fake::CopyOut(fake::M().state.windowsDir, out, size);
}

uint32_t SystemDirectory(char* out, uint32_t size) {
  fake::CallScope call("SystemDirectory", "");
  if (call.fail) return 0;
  return fake::CopyOut(fake::M().state.systemDir, out, size);
}

uint32_t ShortPathName(const char* path, char* out, uint32_t size) {
  fake::CallScope call("ShortPathName", path);
  if (call.fail) return 0;
  fake::Entry* e = fake::FindEntry(path);
  if (!e) return 0;
  if (!e->shortPath.empty()) return fake::CopyOut(e->shortPath, out, size);
  std::string full;
  fake::ResolvePath(path, &full);
  std::string shortPath = full.substr(0, 3);
  size_t at = 3;
  while (at < full.size()) {
    size_t end = full.find('\\', at);
    if (end == std::string::npos) end = full.size();
    fake::Entry* step = fake::FindEntry(full.substr(0, end));
    if (!step) return 0;
    if (shortPath.size() > 3) shortPath += '\\';
    shortPath += fake::ShortNameOf(*step);
    at = end + 1;
  }
  return fake::CopyOut(shortPath, out, size);
}

uint32_t FullPathName(const char* path, char* out, uint32_t size) {
  fake::CallScope call("FullPathName", path);
  if (call.fail) return 0;
  std::string full;
  if (!fake::ResolvePath(path, &full, true)) return 0;
  return fake::CopyOut(full, out, size);
}

bool ChangeDirectory(const char* path) {
  fake::CallScope call("ChangeDirectory", path);
  if (call.fail) return false;
  std::string full;
  if (!fake::ResolvePath(path, &full)) return false;
  fake::Entry* e = fake::FindEntry(full);
  if (!e || !e->dir) return false;
  fake::M().state.currentDir = full;
  return true;
}

}  // namespace plat
