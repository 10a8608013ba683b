#include "seldchk/findings.h"

#include <cstring>

#include "platform/platform.h"
#include "seldchk/heap_block.h"

namespace {

void Add(Findings* findings, int line, Severity severity,
         const TextLine& text) {
  if (severity == Severity::Error) findings->anyError = true;
  // Each item has its place in the scratch half of the block too, so that
  // sorting them needs no more memory.
  void* items = GrownBlock(findings->items, &findings->capacity,
                           findings->count, findings->count + 1,
                           2 * sizeof(Finding));
  void* room = items ? GrownBlock(findings->text, &findings->textCapacity,
                                  findings->textLength,
                                  findings->textLength + text.length, 1)
                     : nullptr;
  if (items) findings->items = static_cast<Finding*>(items);
  if (room == nullptr) {
    ++findings->lost;
    return;
  }
  findings->text = static_cast<char*>(room);
  memcpy(findings->text + findings->textLength, text.text, text.length);
  findings->items[findings->count++] =
      Finding{line, severity, findings->textLength, text.length};
  findings->textLength += text.length;
}

// Line 0, the file as a whole, comes after every line.
unsigned OrderOf(const Finding& finding) {
  return static_cast<unsigned>(finding.line - 1);
}

// Sorts items by line, keeping the order of findings on one line, through
// scratch (as many items); merges runs of 1, 2, 4, ... items.
void SortByLine(Finding* items, Finding* scratch, size_t count) {
  Finding* from = items;
  Finding* to = scratch;
  for (size_t run = 1; run < count; run *= 2) {
    for (size_t start = 0; start < count; start += 2 * run) {
      size_t middle = start + run < count ? start + run : count;
      size_t end = middle + run < count ? middle + run : count;
      size_t a = start, b = middle, out = start;
      while (a < middle && b < end) {
        to[out++] = OrderOf(from[b]) < OrderOf(from[a]) ? from[b++] : from[a++];
      }
      while (a < middle) to[out++] = from[a++];
      while (b < end) to[out++] = from[b++];
    }
    Finding* swap = from;
    from = to;
    to = swap;
  }
  if (from != items) memcpy(items, from, count * sizeof(Finding));
}

}  // namespace

void StartFindings(Findings* findings) {
  *findings = Findings{nullptr, 0, 0, nullptr, 0, 0, false, 0};
}

void ReleaseFindings(Findings* findings) {
  plat::Release(findings->items);
  plat::Release(findings->text);
  StartFindings(findings);
}

void Warn(Findings* findings, int line, const TextLine& text) {
  Add(findings, line, Severity::Warning, text);
}

void Fail(Findings* findings, int line, const TextLine& text) {
  Add(findings, line, Severity::Error, text);
}

void WriteFindings(Findings* findings, const char* fileName, Output* out) {
  SortByLine(findings->items, findings->items + findings->capacity,
             findings->count);
  for (size_t i = 0; i < findings->count; ++i) {
    const Finding& finding = findings->items[i];
    TextLine line;
    StartLine(&line);
    Add(&line, fileName, ":");
    if (finding.line > 0) {
      AddNumber(&line, static_cast<unsigned long>(finding.line));
      Add(&line, ":");
    }
    Add(&line, finding.severity == Severity::Error ? " error: " : " warning: ");
    AddSpan(&line, findings->text + finding.at, finding.length);
    WriteLine(out, line);
  }
  if (findings->lost > 0) {
    TextLine line;
    StartLine(&line);
    Add(&line, fileName, ": error: out of memory: ");
    AddNumber(&line, findings->lost);
    Add(&line, findings->lost == 1 ? " more finding is" : " more findings are",
        " not shown");
    WriteLine(out, line);
  }
}

int ExitCodeFor(const Findings& findings, bool werror) {
  if (findings.count == 0 && findings.lost == 0) return 0;
  if (werror || findings.anyError || findings.lost > 0) return 2;
  return 1;
}
