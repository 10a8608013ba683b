#include <cstring>

#include "platform/win32/rename_steps.h"

namespace win32 {

namespace {

// MAX_PATH and the longest suffix.
constexpr size_t kAsideSize = 260 + 8;

// target + suffix into out; false when it does not fit.
bool WithSuffix(const char* target, const char* suffix, char* out) {
  const size_t length = strlen(target);
  const size_t suffixLength = strlen(suffix);
  if (length + suffixLength >= kAsideSize) return false;
  memcpy(out, target, length);
  memcpy(out + length, suffix, suffixLength + 1);
  return true;
}

// Moves an aside file that is in the way to the first free ".~oN" name:
// what it holds may be all that is left of a user's file.
bool MoveStaleAside(const char* target, const char* aside) {
  char kept[kAsideSize];
  char suffix[] = ".~o1";
  for (; suffix[3] <= '9'; ++suffix[3]) {
    if (!WithSuffix(target, suffix, kept)) return false;
    if (!NameTaken(kept)) return MoveName(aside, kept);
  }
  return false;
}

}  // namespace

bool RecoverAside(const char* target) {
  if (NameTaken(target)) return true;
  char aside[kAsideSize];
  return WithSuffix(target, ".~old", aside) && NameTaken(aside) &&
         MoveName(aside, target);
}

bool ReplaceByRenaming(const char* replacement, const char* target,
                       bool targetExists) {
  if (!targetExists) targetExists = RecoverAside(target);
  if (!targetExists) return MoveName(replacement, target);
  char aside[kAsideSize];
  if (!WithSuffix(target, ".~old", aside)) return false;
  if (NameTaken(aside) && !MoveStaleAside(target, aside)) return false;
  if (!MoveName(target, aside)) return false;
  if (!MoveName(replacement, target)) {
    MoveName(aside, target);
    return false;
  }
  DeleteName(aside);
  return true;
}

}  // namespace win32
