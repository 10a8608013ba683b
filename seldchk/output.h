// The checker's output: a small buffer in front of a standard stream
// (plat::WriteStandard), written out when full and at the end.
#pragma once

#include <cstddef>

#include "platform/platform.h"
#include "seldchk/text_line.h"

struct Output {
  plat::StandardStream stream;
  char buffer[1024];
  size_t used;
  bool failed;  // a write failed: the stream lost some of its text
};

void StartOutput(Output* out, plat::StandardStream stream);

void Write(Output* out, const char* text, size_t length);
void WriteText(Output* out, const char* text);
// The line and a line end.
void WriteLine(Output* out, const TextLine& line);

// Writes out what the buffer holds; false when any write failed.
bool FlushOutput(Output* out);
