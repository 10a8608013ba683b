// A line of text built from pieces in a fixed buffer: a finding, a line of
// the plan. No line the checker writes comes near its size; one that would
// not fit is cut and ends in "...".
#pragma once

#include <cstddef>

constexpr size_t kLineSize = 4096;

struct TextLine {
  char text[kLineSize];  // zero-terminated
  size_t length;
};

void StartLine(TextLine* line);

void AddSpan(TextLine* line, const char* text, size_t length);
void Add(TextLine* line, const char* text);

// Several pieces in a row: Add(&line, "[", name, "] ").
template <typename... Pieces>
void Add(TextLine* line, const char* first, const char* second,
         Pieces... rest) {
  Add(line, first);
  Add(line, second, rest...);
}

void AddNumber(TextLine* line, unsigned long number);

// Text of the control file as a finding shows it: control characters and
// NUL bytes, which a terminal would act on or drop, as "?".
void AddShown(TextLine* line, const char* text, size_t length);
void AddShown(TextLine* line, const char* text);

// The decimal digits of number into out (16 bytes at least).
void FormatNumber(unsigned long number, char* out);
