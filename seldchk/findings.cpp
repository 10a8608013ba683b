#include "seldchk/findings.h"

#include <algorithm>

void Findings::Warn(int line, const std::string& text) {
  items.push_back(Finding{line, Severity::Warning, text});
}

void Findings::Fail(int line, const std::string& text) {
  items.push_back(Finding{line, Severity::Error, text});
}

std::vector<std::string> FormatFindings(const Findings& findings,
                                        const std::string& fileName) {
  std::vector<Finding> sorted = findings.items;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Finding& a, const Finding& b) {
                     unsigned lineA = static_cast<unsigned>(a.line - 1);
                     unsigned lineB = static_cast<unsigned>(b.line - 1);
                     return lineA < lineB;  // line 0 comes last
                   });
  std::vector<std::string> lines;
  for (const Finding& f : sorted) {
    std::string where = fileName + ":";
    if (f.line > 0) where += std::to_string(f.line) + ":";
    const char* kind = f.severity == Severity::Error ? "error" : "warning";
    lines.push_back(where + " " + kind + ": " + f.text);
  }
  return lines;
}

int ExitCodeFor(const Findings& findings, bool werror) {
  if (findings.items.empty()) return 0;
  if (werror) return 2;
  for (const Finding& f : findings.items) {
    if (f.severity == Severity::Error) return 2;
  }
  return 1;
}

std::string Shown(const std::string& text) {
  std::string shown = text;
  for (char& c : shown) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) c = '?';
  }
  return shown;
}
