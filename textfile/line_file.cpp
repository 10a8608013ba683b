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
  return read;
}

// Where the line that starts at `start` ends: at the next CR or LF, or at
// the end of the data.
uint32_t LineEnd(const FileBytes& bytes, uint32_t start) {
  uint32_t end = start;
  while (end < bytes.size && bytes.data[end] != '\r' &&
         bytes.data[end] != '\n') {
    ++end;
  }
  return end;
}

// Where the next line starts after the line end at `end`: CR LF is one line
// end, a lone CR or LF is one too (COMMAND.COM ends a batch line at a CR).
uint32_t NextLineStart(const FileBytes& bytes, uint32_t end) {
  if (end == bytes.size) return end;
  if (bytes.data[end] == '\r' && end + 1 < bytes.size &&
      bytes.data[end + 1] == '\n') {
    return end + 2;
  }
  return end + 1;
}

// Every line end ends a line; text after the last one is one more line.
uint32_t CountLines(const FileBytes& bytes) {
  uint32_t count = 0;
  for (uint32_t start = 0; start < bytes.size; ++count) {
    start = NextLineStart(bytes, LineEnd(bytes, start));
  }
  return count;
}

char* HeapCopy(const char* text, size_t length) {
  char* line = static_cast<char*>(plat::Allocate(length + 1));
  if (line == nullptr) return nullptr;
  memcpy(line, text, length);
  line[length] = '\0';
  return line;
}

// A heap line holding length bytes of the file, each NUL byte and each
// kLineEscape written as two bytes (line_file.h).
char* EscapedCopy(const char* text, size_t length) {
  size_t extra = 0;
  for (size_t i = 0; i < length; ++i) {
    extra += text[i] == '\0' || text[i] == kLineEscape;
  }
  if (extra == 0) return HeapCopy(text, length);
  char* line = static_cast<char*>(plat::Allocate(length + extra + 1));
  if (line == nullptr) return nullptr;
  char* out = line;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] == '\0' || text[i] == kLineEscape) {
      *out++ = kLineEscape;
      *out++ = text[i] == '\0' ? kEscapedNul : kLineEscape;
    } else {
      *out++ = text[i];
    }
  }
  *out = '\0';
  return line;
}

// Stores the lines of bytes in slots 0..count-1, without their line ends.
bool SplitLines(const FileBytes& bytes, LineArray lines, int count) {
  uint32_t start = 0;
  for (int n = 0; n < count; ++n) {
    uint32_t end = LineEnd(bytes, start);
    lines[n] = EscapedCopy(bytes.data + start, end - start);
    if (lines[n] == nullptr) {
      FreeTextLines(lines, n);
      return false;
    }
    start = NextLineStart(bytes, end);
  }
  return true;
}

LineArray LinesFromBytes(const FileBytes& bytes, int* count) {
  uint32_t lineCount = CountLines(bytes);
  uint64_t size = SlotArrayBytes(lineCount, sizeof(char*), SIZE_MAX);
  if (size == 0) return nullptr;
  LineArray lines = static_cast<LineArray>(
      plat::Allocate(static_cast<size_t>(size)));
  if (lines == nullptr) return nullptr;
  size_t slots = static_cast<size_t>(lineCount) + kSpareLineSlots;
  for (size_t i = 0; i < slots; ++i) lines[i] = nullptr;
  if (!SplitLines(bytes, lines, static_cast<int>(lineCount))) return nullptr;
  *count = static_cast<int>(lineCount);
  return lines;
}

}  // namespace

LineArray LoadTextLines(const char* path, int* count) {
  *count = 0;
  plat::RecoverReplacedFile(path);
  FileBytes bytes = {nullptr, 0, 0};
  LineArray lines = nullptr;
  if (LoadBytes(path, &bytes)) lines = LinesFromBytes(bytes, count);
  if (bytes.data != nullptr) plat::Release(bytes.data);
  return lines;
}

uint64_t SlotArrayBytes(uint32_t lineCount, uint32_t pointerSize,
                        uint64_t sizeLimit) {
  if (pointerSize == 0) return 0;
  // The count must stay an int, and the byte count must fit the system's
  // sizes: on a 32-bit system (count + 16) * 4 wraps around for a file of
  // about 1 GiB made of line ends, and a tiny array would be overrun.
  if (lineCount > static_cast<uint32_t>(INT32_MAX) - kSpareLineSlots) return 0;
  // Under 2^31 slots of under 2^32 bytes: the product fits 64 bits. It is
  // compared rather than the limit divided, which on i686 would call a
  // 64-bit division routine of the compiler's library.
  uint64_t bytes =
      (static_cast<uint64_t>(lineCount) + kSpareLineSlots) * pointerSize;
  return bytes > sizeLimit ? 0 : bytes;
}

void FreeTextLines(LineArray lines, int count) {
  if (lines == nullptr) return;
  for (int i = 0; i < count; ++i) {
    if (lines[i] != nullptr) plat::Release(lines[i]);
  }
  plat::Release(lines);
}

char* DuplicateLine(const char* text) { return HeapCopy(text, strlen(text)); }

bool IsExistingFile(const char* path) {
  uint32_t attributes = plat::FileAttributes(path);
  return attributes != plat::kInvalidAttributes &&
         (attributes & plat::kAttrDirectory) == 0;
}
