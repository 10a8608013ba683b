// What the checker finds: warnings and errors, each at a line of the
// control file, printed the way compilers print them so that editors jump
// to the line: "SELDUNAX.INI:12: warning: ...".
#pragma once

#include <cstdio>
#include <string>
#include <vector>

enum class Severity { Warning, Error };

struct Finding {
  int line;  // 0: the file as a whole
  Severity severity;
  std::string text;
};

struct Findings {
  std::vector<Finding> items;
  void Warn(int line, const std::string& text);
  void Fail(int line, const std::string& text);
};

// The findings in line order (those of the whole file last), each as one
// line: "<file>:<line>: warning: <text>".
std::vector<std::string> FormatFindings(const Findings& findings,
                                        const std::string& fileName);

// 0 clean, 1 warnings only, 2 errors (with werror: any finding).
int ExitCodeFor(const Findings& findings, bool werror);

// Text of the file shown in a finding: control characters as "?".
std::string Shown(const std::string& text);
