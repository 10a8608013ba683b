// Writing a LineArray back: through a temporary file beside the target, so
// that a failed write never costs the user the start-up file.
#include <cstdint>
#include <cstring>

#include "control/path_helpers.h"
#include "platform/platform.h"
#include "textfile/line_file.h"

namespace {

// The temporary file for target: the same directory and name with the
// extension replaced by "$$$" (added when there is none), so that the final
// step is a rename on one drive. A fixed name means a file left over by an
// interrupted run is simply created afresh. A target that itself ends in
// ".$$$" gets ".$$_", so the two can never be the same file.
bool TemporaryNameFor(const char* target, char* out) {
  size_t nameStart = 0;
  for (size_t i = 0; target[i] != '\0'; ++i) {
    if (target[i] == '\\' || target[i] == '/' || target[i] == ':') {
      nameStart = i + 1;
    }
  }
  const char* dot = strrchr(target + nameStart, '.');
  size_t baseLength = dot != nullptr ? static_cast<size_t>(dot - target)
                                     : strlen(target);
  const char* extension =
      dot != nullptr && strcmp(dot, ".$$$") == 0 ? ".$$_" : ".$$$";
  if (baseLength + strlen(extension) >= static_cast<size_t>(kPathSize)) {
    return false;
  }
  memcpy(out, target, baseLength);
  strcpy(out + baseLength, extension);
  return true;
}

// A target that is read-only or a directory is never replaced.
bool MayReplace(const char* path) {
  if (path[0] == '\0') return false;
  uint32_t attributes = plat::FileAttributes(path);
  if (attributes == plat::kInvalidAttributes) return true;
  return (attributes & (plat::kAttrReadOnly | plat::kAttrDirectory)) == 0;
}

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

int SaveTextLines(LineArray lines, const char* path, int count) {
  char temporary[kPathSize];
  if (!MayReplace(path) || !TemporaryNameFor(path, temporary)) return 1;
  plat::FileHandle file = plat::CreateForWrite(temporary);
  if (file == plat::kNoFile) return 1;
  bool written = WriteLines(file, lines, count);
  bool closed = plat::CloseFile(file);
  if (written && closed && plat::ReplaceFileWith(temporary, path)) return 0;
  plat::RemoveFile(temporary);
  return 1;
}
