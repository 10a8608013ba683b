#include "seldchk/text_line.h"

#include <cstring>

namespace {

const char kCut[] = "...";

bool IsControl(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7f;
}

}  // namespace

void StartLine(TextLine* line) {
  line->length = 0;
  line->text[0] = '\0';
}

void AddSpan(TextLine* line, const char* text, size_t length) {
  // Text fills the line up to here; the rest is the room for the mark of a
  // cut line, which a line past here holds.
  constexpr size_t kTextRoom = kLineSize - sizeof kCut;
  if (line->length > kTextRoom) return;
  if (length > kTextRoom - line->length) {
    size_t kept = kTextRoom - line->length;
    memcpy(line->text + line->length, text, kept);
    memcpy(line->text + kTextRoom, kCut, sizeof kCut);
    line->length = kLineSize - 1;
    return;
  }
  memcpy(line->text + line->length, text, length);
  line->length += length;
  line->text[line->length] = '\0';
}

void Add(TextLine* line, const char* text) { AddSpan(line, text, strlen(text)); }

void FormatNumber(unsigned long number, char* out) {
  char digits[24];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  for (size_t i = 0; i < count; ++i) out[i] = digits[count - 1 - i];
  out[count] = '\0';
}

void AddNumber(TextLine* line, unsigned long number) {
  char digits[24];
  FormatNumber(number, digits);
  Add(line, digits);
}

void AddShown(TextLine* line, const char* text, size_t length) {
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (!IsControl(text[i])) continue;
    AddSpan(line, text + start, i - start);
    Add(line, "?");
    start = i + 1;
  }
  AddSpan(line, text + start, length - start);
}

void AddShown(TextLine* line, const char* text) {
  AddShown(line, text, strlen(text));
}
