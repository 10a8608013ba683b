#include "seldchk/output.h"

#include <cstring>

void StartOutput(Output* out, plat::StandardStream stream) {
  out->stream = stream;
  out->used = 0;
  out->failed = false;
}

bool FlushOutput(Output* out) {
  if (out->used > 0 &&
      !plat::WriteStandard(out->stream, out->buffer,
                           static_cast<uint32_t>(out->used))) {
    out->failed = true;
  }
  out->used = 0;
  return !out->failed;
}

void Write(Output* out, const char* text, size_t length) {
  while (length > 0) {
    if (out->used == sizeof out->buffer) FlushOutput(out);
    size_t room = sizeof out->buffer - out->used;
    size_t part = length < room ? length : room;
    memcpy(out->buffer + out->used, text, part);
    out->used += part;
    text += part;
    length -= part;
  }
}

void WriteText(Output* out, const char* text) { Write(out, text, strlen(text)); }

void WriteLine(Output* out, const TextLine& line) {
  Write(out, line.text, line.length);
  Write(out, "\n", 1);
}
