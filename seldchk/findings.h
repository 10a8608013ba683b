// What the checker finds: warnings and errors, each at a line of the
// control file, printed the way compilers print them so that editors jump
// to the line: "SELDUNAX.INI:12: warning: ...". Kept on the heap until all
// are found, then written in line order.
#pragma once

#include <cstddef>

#include "seldchk/output.h"
#include "seldchk/text_line.h"

enum class Severity { Warning, Error };

struct Finding {
  int line;  // 0: the file as a whole
  Severity severity;
  size_t at;  // its text in Findings::text
  size_t length;
};

struct Findings {
  // Room for capacity findings, and as many again to sort them in.
  Finding* items;
  size_t count;
  size_t capacity;
  char* text;
  size_t textLength;
  size_t textCapacity;
  bool anyError;
  size_t lost;  // findings the heap had no room for
};

void StartFindings(Findings* findings);
void ReleaseFindings(Findings* findings);

void Warn(Findings* findings, int line, const TextLine& text);
void Fail(Findings* findings, int line, const TextLine& text);

// Every finding, in line order (those of the whole file last), each as one
// line "<fileName>:<line>: warning: <text>"; then how many were lost, if
// any.
void WriteFindings(Findings* findings, const char* fileName, Output* out);

// 0 clean, 1 warnings only, 2 errors (with werror: any finding).
int ExitCodeFor(const Findings& findings, bool werror);
