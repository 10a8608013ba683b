#include "control/not_done.h"

#include <cstdint>
#include <cstring>

#include "control/builtin_messages.h"
#include "platform/platform.h"

namespace {

// path into out (kPathSize bytes), cut to fit.
void CopyCut(char* out, const char* path) {
  size_t length = strlen(path);
  if (length >= static_cast<size_t>(kPathSize)) length = kPathSize - 1;
  memcpy(out, path, length);
  out[length] = '\0';
}

// The short (8.3) form of path into out (kPathSize bytes); "" when the
// system gives none.
void ShortForm(const char* path, char* out) {
  uint32_t length = plat::ShortPathName(path, out, kPathSize);
  if (length == 0 || length >= static_cast<uint32_t>(kPathSize)) out[0] = '\0';
}

int KeptSlot(const NotDone& record, const char* path) {
  for (int i = 0; i < record.keptCount; ++i) {
    if (SameTextAnyCase(record.kept[i], path)) return i;
  }
  return -1;
}

// Appends as much of piece as fits, the text staying zero-terminated.
void Append(char* text, size_t size, size_t* length, const char* piece) {
  while (*piece != '\0' && *length + 1 < size) text[(*length)++] = *piece++;
  text[*length] = '\0';
}

// The label of each kind, in the order of NotDoneKind.
const char* const kLabels[] = {MSG_NOT_CHANGED, MSG_NOT_COPIED, MSG_KEPT,
                               MSG_NOT_DELETED};

// The longest lines AppendNotDone writes fit the room its callers leave.
constexpr int kLongestLabel = sizeof MSG_NOT_DELETED - 1;
static_assert(sizeof MSG_NOT_CHANGED - 1 <= kLongestLabel &&
                  sizeof MSG_NOT_COPIED - 1 <= kLongestLabel &&
                  sizeof MSG_KEPT - 1 <= kLongestLabel,
              "the longest label is the one counted");
static_assert(sizeof MSG_NOT_DONE - 1 +
                      kNotDoneShown * (kLongestLabel + kPathSize - 1) +
                      sizeof MSG_MORE_BEFORE - 1 + 11 + sizeof MSG_MORE_AFTER <=
                  kNotDoneTextSize,
              "the closing box's own lines fit kNotDoneTextSize");

}  // namespace

void StartNotDone(NotDone* record) {
  record->count = 0;
  record->keptCount = 0;
  record->keptOverflow = false;
}

void NoteNotDone(NotDone* record, NotDoneKind kind, const char* path) {
  if (record->count < kNotDoneShown) {
    record->kinds[record->count] = kind;
    CopyCut(record->paths[record->count], path);
  }
  ++record->count;
}

bool KeepFile(NotDone* record, const char* path) {
  if (KeptSlot(*record, path) >= 0) return false;
  if (record->keptCount == kKeptFileSlots) {
    record->keptOverflow = true;
    return true;
  }
  CopyCut(record->kept[record->keptCount], path);
  ShortForm(path, record->keptShort[record->keptCount]);
  ++record->keptCount;
  return true;
}

bool MustKeep(NotDone* record, const char* path) {
  if (record->keptCount == 0) return false;
  if (KeptSlot(*record, path) >= 0) return true;
  char shortPath[kPathSize];
  ShortForm(path, shortPath);
  for (int i = 0; shortPath[0] != '\0' && i < record->keptCount; ++i) {
    if (SameTextAnyCase(record->keptShort[i], shortPath)) return true;
  }
  if (record->keptOverflow) NoteNotDone(record, NotDoneKind::Kept, path);
  return record->keptOverflow;
}

// The caller's buffer has kNotDoneTextSize bytes of room after the text,
// enough for every line; should it have less, the lines are cut.
void AppendNotDone(const NotDone& record, char* text, size_t size) {
  if (record.count == 0) return;
  size_t length = strlen(text);
  Append(text, size, &length, MSG_NOT_DONE);
  const int described = record.count < kNotDoneShown ? record.count
                                                     : kNotDoneShown;
  for (int i = 0; i < described; ++i) {
    Append(text, size, &length, kLabels[static_cast<int>(record.kinds[i])]);
    Append(text, size, &length, record.paths[i]);
  }
  if (record.count == described) return;
  // The count of the rest in decimal, written from its last digit on.
  char number[12];
  char* digits = number + sizeof number - 1;
  *digits = '\0';
  for (int rest = record.count - described; rest > 0; rest /= 10) {
    *--digits = static_cast<char>('0' + rest % 10);
  }
  Append(text, size, &length, MSG_MORE_BEFORE);
  Append(text, size, &length, digits);
  Append(text, size, &length, MSG_MORE_AFTER);
}
