// Helpers shared by the text-file tests.
#pragma once

#include <string>
#include <vector>

#include "textfile/line_file.h"

// Every file test runs with CR LF line ends, with LF only and with CR only.
struct LineEnding {
  const char* name;
  const char* end;
};
extern const LineEnding kEndings[3];

// Text with every "\n" turned into end.
std::string WithEnds(const std::string& lfText, const char* end);

// The lines, each followed by end.
std::string FileText(const std::vector<std::string>& lines, const char* end);

// What writing the lines back gives: the non-empty ones, each with CR LF.
std::string SavedText(const std::vector<std::string>& lines);

// A LineArray holding copies of the lines (fake heap), and its lines back.
LineArray MakeLines(const std::vector<std::string>& lines);
std::vector<std::string> LinesOf(LineArray lines, int count);

// Files on the fake machine whose extensions begin with "$" (".$$$",
// ".$00" and so on): temporary files of a save.
std::vector<std::string> TemporaryFiles();

// A fixture file below tests/data/textfile, as stored.
std::string ReadFixture(const std::string& name);
