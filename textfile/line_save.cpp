// Writing a LineArray back: through a temporary file beside the target, so
// that a failed write never costs the user the start-up file.
#include <cstdint>
#include <cstring>

#include "control/ascii_chars.h"
#include "control/path_helpers.h"
#include "platform/platform.h"
#include "textfile/line_file.h"

namespace {

// Extensions tried for the temporary file, in this order.
constexpr int kTemporaryExtensions = 101;

// ".$$$" first, then ".$00" to ".$99".
void TemporaryExtension(int n, char* out) {
  if (n == 0) {
    strcpy(out, ".$$$");
    return;
  }
  out[0] = '.';
  out[1] = '$';
  out[2] = static_cast<char>('0' + (n - 1) / 10);
  out[3] = static_cast<char>('0' + (n - 1) % 10);
  out[4] = '\0';
}

// The start of the file name in path: after its last "\", "/" or ":".
size_t NameStart(const char* path) {
  size_t start = 0;
  for (size_t i = 0; path[i] != '\0'; ++i) {
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
  }
  return start;
}

bool SameFileName(const char* a, const char* b) {
  while (*a != '\0' && UpperAscii(*a) == UpperAscii(*b)) {
    ++a;
    ++b;
  }
  return *a == *b;
}

// The temporary file for target: the same directory and name with the
// extension replaced (added when there is none) by the first of the
// extensions that names no existing file and not the target itself, so
// that the final step is a rename on one drive and no file of the user's
// (an AUTOEXEC.$$$ of their own, say) is ever overwritten. A file left by an
// interrupted run is left alone like any other. False when every name is
// taken or none fits.
bool TemporaryNameFor(const char* target, char* out) {
  const char* dot = strrchr(target + NameStart(target), '.');
  size_t baseLength = dot != nullptr ? static_cast<size_t>(dot - target)
                                     : strlen(target);
  if (baseLength + 5 > static_cast<size_t>(kPathSize)) return false;
  memcpy(out, target, baseLength);
  for (int n = 0; n < kTemporaryExtensions; ++n) {
    TemporaryExtension(n, out + baseLength);
    if (!SameFileName(out, target) &&
        plat::FileAttributes(out) == plat::kInvalidAttributes) {
      return true;
    }
  }
  return false;
}

// A target that is read-only or a directory is never replaced.
bool MayReplace(const char* path, uint32_t attributes) {
  if (path[0] == '\0') return false;
  if (attributes == plat::kInvalidAttributes) return true;
  return (attributes & (plat::kAttrReadOnly | plat::kAttrDirectory)) == 0;
}

// The attributes that the new file takes over from the one it replaces:
// a hidden and system CONFIG.SYS stays hidden and system.
constexpr uint32_t kKeptAttributes =
    plat::kAttrHidden | plat::kAttrSystem | plat::kAttrArchive;

// Collects small pieces into whole blocks; remembers the first write error
// and writes nothing after it.
struct Output {
  plat::FileHandle file;
  bool ok;
  uint32_t used;
  char buffer[512];
};

void Flush(Output* out) {
  if (out->ok && out->used > 0) {
    out->ok = plat::WriteBytes(out->file, out->buffer, out->used);
  }
  out->used = 0;
}

void Put(Output* out, const char* data, uint32_t size) {
  if (size > sizeof(out->buffer) - out->used) Flush(out);
  if (size >= sizeof(out->buffer)) {
    if (out->ok) out->ok = plat::WriteBytes(out->file, data, size);
    return;
  }
  memcpy(out->buffer + out->used, data, size);
  out->used += size;
}

// Every non-empty line, each followed by CR LF; empty lines are how the
// editors delete lines, so they are not written.
bool WriteLines(plat::FileHandle file, LineArray lines, int count) {
  Output out;
  out.file = file;
  out.ok = true;
  out.used = 0;
  for (int i = 0; i < count && out.ok; ++i) {
    const char* line = lines[i];
    if (line == nullptr || line[0] == '\0') continue;
    Put(&out, line, static_cast<uint32_t>(strlen(line)));
    Put(&out, "\r\n", 2);
  }
  Flush(&out);
  return out.ok;
}

}  // namespace

// The temporary file gets the target's attributes before it takes the
// target's place, so that the file is never there without them; a file
// whose attributes cannot be kept is not replaced at all.
int SaveTextLines(LineArray lines, const char* path, int count) {
  const uint32_t attributes = plat::FileAttributes(path);
  char temporary[kPathSize];
  if (!MayReplace(path, attributes) || !TemporaryNameFor(path, temporary)) {
    return 1;
  }
  plat::FileHandle file = plat::CreateForWrite(temporary);
  if (file == plat::kNoFile) return 1;
  bool written = WriteLines(file, lines, count);
  bool closed = plat::CloseFile(file);
  bool created = attributes == plat::kInvalidAttributes;
  if (written && closed &&
      (created || plat::ChangeFileAttributes(temporary,
                                             attributes & kKeptAttributes)) &&
      plat::ReplaceFileWith(temporary, path)) {
    return 0;
  }
  plat::RemoveFile(temporary);
  return 1;
}
