// Writing a LineArray back: through a temporary file beside the target, so
// that a failed write never costs the user the start-up file.
#include <cstdint>
#include <cstring>

#include "control/path_helpers.h"
#include "platform/platform.h"
#include "textfile/line_file.h"
#include "textfile/temporary_file.h"

namespace {

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

// A line's bytes as the file held them: the runs between escapes whole,
// each escaped byte on its own (line_file.h).
void PutLine(Output* out, const char* line) {
  for (;;) {
    const size_t length = strlen(line);
    const char* escape =
        static_cast<const char*>(memchr(line, kLineEscape, length));
    size_t run = escape != nullptr ? static_cast<size_t>(escape - line)
                                   : length;
    Put(out, line, static_cast<uint32_t>(run));
    if (escape == nullptr) return;
    line = escape + 1;
    if (*line == kEscapedNul || *line == kLineEscape) {
      const char byte = *line == kEscapedNul ? '\0' : kLineEscape;
      Put(out, &byte, 1);
      ++line;
    } else {
      Put(out, escape, 1);
    }
  }
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
    PutLine(&out, line);
    Put(&out, "\r\n", 2);
  }
  Flush(&out);
  return out.ok;
}

}  // namespace

// The temporary file gets the target's attributes before it takes the
// target's place, so that the file is never there without them; a file
// whose attributes cannot be kept is not replaced at all. Its data is
// flushed to the disk before it is closed and renamed: Windows 95 writes
// late, and a power cut must not leave the start-up file's name on data
// that never reached the disk.
int SaveTextLines(LineArray lines, const char* path, int count) {
  const uint32_t attributes = plat::FileAttributes(path);
  if (!MayReplace(path, attributes)) return 1;
  char temporary[kPathSize];
  plat::FileHandle file = plat::kNoFile;
  const TemporaryContent content = {nullptr, lines, count};
  if (!CreateTemporary(path, content, temporary, &file)) return 1;
  bool written = WriteLines(file, lines, count) && plat::FlushFile(file);
  bool closed = plat::CloseFile(file);
  bool created = attributes == plat::kInvalidAttributes;
  if (written && closed &&
      (created || plat::ChangeFileAttributes(temporary,
                                             attributes & kKeptAttributes)) &&
      plat::ReplaceFileWith(temporary, path)) {
    return 0;
  }
  DropTemporary(temporary);
  return 1;
}
