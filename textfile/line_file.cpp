#include "textfile/line_file.h"

#include <cstdint>
#include <cstring>

#include "platform/platform.h"

namespace {

constexpr char kCtrlZ = 0x1A;
constexpr uint32_t kFirstBlock = 4096;
constexpr uint32_t kLargestBlock = 0x40000000u;

// The file's bytes up to its first Ctrl-Z, in one heap block.
struct FileBytes {
  char* data;
  uint32_t size;
  uint32_t capacity;
};

// Doubles the block, keeping what it holds.
bool Grow(FileBytes* bytes) {
  if (bytes->capacity >= kLargestBlock) return false;
  uint32_t capacity = bytes->capacity == 0 ? kFirstBlock : bytes->capacity * 2;
  char* data = static_cast<char*>(plat::Allocate(capacity));
  if (data == nullptr) return false;
  if (bytes->data != nullptr) {
    memcpy(data, bytes->data, bytes->size);
    plat::Release(bytes->data);
  }
  bytes->data = data;
  bytes->capacity = capacity;
  return true;
}

// Reads until the end of the file or the first Ctrl-Z, which ends the data
// as it does for DOS: nothing after it is read. False on a read error or
// when memory runs out; a file read in part is never used, since writing it
// back would cut it short.
bool ReadAll(plat::FileHandle file, FileBytes* bytes) {
  for (;;) {
    if (bytes->size == bytes->capacity && !Grow(bytes)) return false;
    long got = plat::ReadBytes(file, bytes->data + bytes->size,
                               bytes->capacity - bytes->size);
    if (got < 0) return false;
    if (got == 0) return true;
    const char* stop = static_cast<const char*>(
        memchr(bytes->data + bytes->size, kCtrlZ, static_cast<size_t>(got)));
    if (stop != nullptr) {
      bytes->size = static_cast<uint32_t>(stop - bytes->data);
      return true;
    }
    bytes->size += static_cast<uint32_t>(got);
  }
}

bool LoadBytes(const char* path, FileBytes* bytes) {
  plat::FileHandle file = plat::OpenForRead(path);
  if (file == plat::kNoFile) return false;
  bool read = ReadAll(file, bytes);
  plat::CloseFile(file);
  // A NUL byte cannot be held in a line string: such a file is no text file
  // and is left alone rather than written back without its NUL bytes.
  return read && memchr(bytes->data, '\0', bytes->size) == nullptr;
}

// Every LF ends a line; text after the last LF is one more line.
int CountLines(const FileBytes& bytes) {
  int count = 0;
  for (uint32_t i = 0; i < bytes.size; ++i) {
    if (bytes.data[i] == '\n') ++count;
  }
  if (bytes.size > 0 && bytes.data[bytes.size - 1] != '\n') ++count;
  return count;
}

char* CopyText(const char* text, size_t length) {
  char* line = static_cast<char*>(plat::Allocate(length + 1));
  if (line == nullptr) return nullptr;
  memcpy(line, text, length);
  line[length] = '\0';
  return line;
}

// Stores the lines of bytes in slots 0..count-1. A CR directly before an LF
// belongs to the line end; a CR anywhere else, even at the very end of the
// data, is an ordinary character of its line and is written back unchanged.
bool SplitLines(const FileBytes& bytes, LineArray lines, int count) {
  uint32_t start = 0;
  for (int n = 0; n < count; ++n) {
    const char* from = bytes.data + start;
    const void* lf = memchr(from, '\n', bytes.size - start);
    uint32_t end = lf != nullptr
                       ? static_cast<uint32_t>(static_cast<const char*>(lf) -
                                               bytes.data)
                       : bytes.size;
    uint32_t length = end - start;
    if (lf != nullptr && length > 0 && bytes.data[end - 1] == '\r') --length;
    lines[n] = CopyText(from, length);
    if (lines[n] == nullptr) {
      FreeTextLines(lines, n);
      return false;
    }
    start = end + 1;
  }
  return true;
}

LineArray LinesFromBytes(const FileBytes& bytes, int* count) {
  int lineCount = CountLines(bytes);
  size_t slots = static_cast<size_t>(lineCount) + kSpareLineSlots;
  LineArray lines =
      static_cast<LineArray>(plat::Allocate(slots * sizeof(char*)));
  if (lines == nullptr) return nullptr;
  for (size_t i = 0; i < slots; ++i) lines[i] = nullptr;
  if (!SplitLines(bytes, lines, lineCount)) return nullptr;
  *count = lineCount;
  return lines;
}

}  // namespace

LineArray LoadTextLines(const char* path, int* count) {
  *count = 0;
  FileBytes bytes = {nullptr, 0, 0};
  LineArray lines = nullptr;
  if (LoadBytes(path, &bytes)) lines = LinesFromBytes(bytes, count);
  if (bytes.data != nullptr) plat::Release(bytes.data);
  return lines;
}

void FreeTextLines(LineArray lines, int count) {
  if (lines == nullptr) return;
  for (int i = 0; i < count; ++i) {
    if (lines[i] != nullptr) plat::Release(lines[i]);
  }
  plat::Release(lines);
}

char* DuplicateLine(const char* text) { return CopyText(text, strlen(text)); }
