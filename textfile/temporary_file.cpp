#include "textfile/temporary_file.h"

#include <cstring>

#include "control/path_helpers.h"

namespace {

constexpr int kTemporaryNames = 101;
constexpr uint32_t kBlock = 512;

// Reads until the block is full or the file ends: the count read, -1 on an
// error.
long ReadBlock(plat::FileHandle file, char* block) {
  uint32_t filled = 0;
  while (filled < kBlock) {
    long got = plat::ReadBytes(file, block + filled, kBlock - filled);
    if (got < 0) return -1;
    if (got == 0) break;
    filled += static_cast<uint32_t>(got);
  }
  return static_cast<long>(filled);
}

ByteMatch CompareOpen(plat::FileHandle a, plat::FileHandle b) {
  char blockA[kBlock];
  char blockB[kBlock];
  for (;;) {
    long gotA = ReadBlock(a, blockA);
    long gotB = ReadBlock(b, blockB);
    if (gotA < 0 || gotB < 0) return ByteMatch::Unreadable;
    long common = gotA < gotB ? gotA : gotB;
    for (long i = 0; i < common; ++i) {
      if (blockA[i] != blockB[i]) return ByteMatch::Different;
    }
    if (gotA > gotB) return ByteMatch::Different;
    if (gotA < gotB) return ByteMatch::ProperPrefix;
    if (gotA == 0) return ByteMatch::Same;
  }
}

// The start of the file name in path: after its last "\", "/" or ":".
size_t NameStart(const char* path) {
  size_t start = 0;
  for (size_t i = 0; path[i] != '\0'; ++i) {
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
  }
  return start;
}

// target with its extension (added when there is none) replaced by
// extension (four characters with the dot); a name too long for that is cut
// to make room. False when even that does not fit, or the name is the
// target's own.
bool WithExtension(const char* target, const char* extension, char* out) {
  const size_t nameStart = NameStart(target);
  const char* dot = strrchr(target + nameStart, '.');
  size_t baseLength = dot != nullptr ? static_cast<size_t>(dot - target)
                                     : strlen(target);
  if (baseLength + 5 > static_cast<size_t>(kPathSize)) baseLength = kPathSize - 5;
  if (baseLength <= nameStart) return false;
  memcpy(out, target, baseLength);
  memcpy(out + baseLength, extension, 5);
  return !SameTextAnyCase(out, target);
}

// The n-th temporary name for target: ".$$$" first, then ".$00" to ".$99".
bool TemporaryName(const char* target, int n, char* out) {
  char extension[] = ".$$$";
  if (n > 0) {
    extension[2] = static_cast<char>('0' + (n - 1) / 10);
    extension[3] = static_cast<char>('0' + (n - 1) % 10);
  }
  return WithExtension(target, extension, out);
}

bool IsAmongLines(const char* line, LineArray lines, int count,
                  bool mayBeCut) {
  size_t length = strlen(line);
  for (int i = 0; i < count; ++i) {
    if (lines[i] == nullptr || lines[i][0] == '\0') continue;
    if (strncmp(lines[i], line, length) == 0 &&
        (mayBeCut || lines[i][length] == '\0')) {
      return true;
    }
  }
  return false;
}

// Every line of the file at name is among the lines to write, or among
// those of the target's ".BAK" file (where the system's start-up keeps a
// WININIT.INI it has carried out), the last one perhaps cut short where an
// interrupted write stopped: deleting it loses no line.
bool HoldsOnlyKnownLines(const char* name, const char* target,
                         const TemporaryContent& content) {
  int count = 0;
  LineArray lines = LoadTextLines(name, &count);
  if (lines == nullptr) return false;
  char backupName[kPathSize];
  int backupCount = 0;
  LineArray backup = WithExtension(target, ".BAK", backupName)
                         ? LoadTextLines(backupName, &backupCount)
                         : nullptr;
  bool known = true;
  for (int i = 0; i < count && known; ++i) {
    const bool last = i == count - 1;
    known = IsAmongLines(lines[i], content.lines, content.count, last) ||
            IsAmongLines(lines[i], backup, backupCount, last);
  }
  FreeTextLines(backup, backupCount);
  FreeTextLines(lines, count);
  return known;
}

bool IsLeftover(const char* name, const char* target,
                const TemporaryContent& content) {
  if (content.source == nullptr) {
    return HoldsOnlyKnownLines(name, target, content);
  }
  ByteMatch match = CompareFileBytes(name, content.source);
  return match == ByteMatch::Same || match == ByteMatch::ProperPrefix;
}

// Frees the temporary names of target that earlier runs' leftovers hold,
// up to the first name that is free: a run makes them in order, so that
// none of them is passed over.
void FreeLeftovers(const char* target, const TemporaryContent& content) {
  char name[kPathSize];
  for (int n = 0; n < kTemporaryNames; ++n) {
    if (!TemporaryName(target, n, name)) continue;
    uint32_t attributes = plat::FileAttributes(name);
    if (attributes == plat::kInvalidAttributes) return;
    if ((attributes & plat::kAttrDirectory) == 0 &&
        IsLeftover(name, target, content)) {
      DropTemporary(name);
    }
  }
}

}  // namespace

ByteMatch CompareFileBytes(const char* a, const char* b) {
  plat::FileHandle fileA = plat::OpenForRead(a);
  if (fileA == plat::kNoFile) return ByteMatch::Unreadable;
  plat::FileHandle fileB = plat::OpenForRead(b);
  ByteMatch match = fileB == plat::kNoFile ? ByteMatch::Unreadable
                                           : CompareOpen(fileA, fileB);
  plat::CloseFile(fileA);
  if (fileB != plat::kNoFile) plat::CloseFile(fileB);
  return match;
}

// Created with CREATE_NEW (or a copy that fails on an existing file): a
// file of the user's that appears under the name after the look is never
// overwritten; the next name is tried then.
bool CreateTemporary(const char* target, const TemporaryContent& content,
                     char* name, plat::FileHandle* file) {
  FreeLeftovers(target, content);
  for (int n = 0; n < kTemporaryNames; ++n) {
    if (!TemporaryName(target, n, name) ||
        plat::FileAttributes(name) != plat::kInvalidAttributes) {
      continue;
    }
    if (content.source != nullptr) {
      if (plat::CopyOneFile(content.source, name, true)) return true;
    } else {
      *file = plat::CreateNewFile(name);
      if (*file != plat::kNoFile) return true;
    }
    // Free a moment ago and still free: the system refuses the file itself.
    if (plat::FileAttributes(name) == plat::kInvalidAttributes) return false;
  }
  return false;
}

void DropTemporary(const char* name) {
  plat::ChangeFileAttributes(name, 0);
  plat::RemoveFile(name);
}

bool PlaceCopy(const char* source, const char* target, bool replace) {
  char temporary[kPathSize];
  const TemporaryContent content = {source, nullptr, 0};
  plat::FileHandle unused = plat::kNoFile;
  if (!CreateTemporary(target, content, temporary, &unused)) return false;
  if (replace ? plat::ReplaceFileWith(temporary, target)
              : plat::RenameFile(temporary, target)) {
    return true;
  }
  DropTemporary(temporary);
  return false;
}
