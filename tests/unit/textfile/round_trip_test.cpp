// Start-up files as real PCs have them, with the card's lines put in the
// way a card installer puts them (and those of a second card of the family,
// whose control file names its own words), in every form and with CR LF, LF-only and
// CR-only line ends: after the cleaning each file is its original without
// its empty lines, with CR LF line ends. In CONFIG.SYS the lines that loaded
// EMM386.EXE load the Windows directory's copy with their own options.
//
// The files are those of tests/data/startfiles and of every directory that
// the environment variable SELDUNAX_START_FILES names (separated by ":"),
// so that collections kept outside the repository can be checked too. A
// table of the files and their results is printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/unit/support/card_machine.h"
#include "tests/unit/support/test_support.h"
#include "tests/unit/textfile/textfile_helpers.h"
#include "textfile/batch_file.h"
#include "textfile/config_sys.h"
#include "tests/unit/support/scratch_record.h"

namespace {

using Lines = std::vector<std::string>;
constexpr size_t kNone = std::string::npos;

const char kSetLine[] = "SET HALCYRENE=C:\\VANTORIS\\DOS";
const char kProgramLine[] = "C:\\VANTORIS\\DOS\\HCINIT.EXE /HALCYRENE:ON";
const char kRom[] = "C:\\VANTORIS\\HALCYREN.ROM";
const char kRomAgain[] = "C:\\VANTORIS\\DOS\\HALCYREN.ROM";
// A second card of the family, with words of its own in [dosclean].
const char kOwnEntry[] = "C:\\AUDMAX\\DOS";
const char kOwnSetLine[] = "SET VNT64=A220 I7 D1";
const char kOwnProgramLine[] = "LH C:\\AUDMAX\\DOS\\VNT64INI.EXE /Q";
const char kOwnWords[] = "[dosclean]\n1=C:\\AUDMAX\\DOS\n2=vnt64\n";
const char kSavedEmm386[] = "C:\\VANTORIS\\DOS\\EMM386.EXE";
const char kWindowsEmm386Line[] = "DEVICE=C:\\WINDOWS\\EMM386.EXE";

enum class Kind { kAutoexec, kDosstart, kConfigSys };

struct StartFile {
  std::string name;
  Kind kind;
  std::string bytes;
};

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool IsModelBlank(char c) { return c == ' ' || c == '\t'; }

// The file's lines without their line ends (CR LF, LF or CR).
Lines SplitAnyEnds(const std::string& bytes) {
  Lines lines;
  std::string line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') {
      line += bytes[i];
      continue;
    }
    lines.push_back(line);
    line.clear();
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string Join(const Lines& lines, const char* end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

size_t NonEmpty(const Lines& lines) {
  return static_cast<size_t>(std::count_if(
      lines.begin(), lines.end(),
      [](const std::string& line) { return !line.empty(); }));
}

// ------------------------------------------------------ the card installer

// Where the list of a line that sets PATH begins, as an installer finds it:
// after blanks, "@", "REM " and "SET ", the word PATH and "=" or blanks.
size_t PathListStart(const std::string& line) {
  const std::string upper = Upper(line);
  size_t i = upper.find_first_not_of(" \t@");
  for (const char* word : {"REM ", "SET "}) {
    if (i != kNone && upper.compare(i, 4, word) == 0) {
      i = upper.find_first_not_of(" \t", i + 4);
    }
  }
  if (i == kNone || upper.compare(i, 4, "PATH") != 0) return kNone;
  size_t list = i + 4;
  while (list < line.size() && IsModelBlank(line[list])) ++list;
  if (list < line.size() && line[list] == '=') ++list;
  while (list < line.size() && IsModelBlank(line[list])) ++list;
  return list == i + 4 ? kNone : list;
}

enum class PathForm {
  kAppended,
  kFirst,
  kAppendedTwice,
  kFirstAndLast,
  kOwnWords,  // the second card's lines too
};
const PathForm kPathForms[] = {PathForm::kAppended, PathForm::kFirst,
                               PathForm::kAppendedTwice,
                               PathForm::kFirstAndLast, PathForm::kOwnWords};

const char* FormName(PathForm form) {
  switch (form) {
    case PathForm::kAppended: return "ROM appended";
    case PathForm::kFirst: return "ROM first";
    case PathForm::kAppendedTwice: return "ROM appended twice";
    case PathForm::kFirstAndLast: return "ROM first and last";
    case PathForm::kOwnWords: return "ROM and the second card's lines";
  }
  return "";
}

std::string WithRom(const std::string& line, size_t list, PathForm form) {
  const std::string first =
      line.substr(0, list) + kRom + ";" + line.substr(list);
  switch (form) {
    case PathForm::kAppended: return line + ";" + kRom;
    case PathForm::kFirst: return first;
    case PathForm::kAppendedTwice: return line + ";" + kRom + ";" + kRomAgain;
    case PathForm::kFirstAndLast: return first + ";" + kRomAgain;
    case PathForm::kOwnWords: return line + ";" + kRom + ";" + kOwnEntry;
  }
  return line;
}

// The ROM in every PATH list, the card's variable after the first line
// and its program in the middle of the file.
Lines InstallInBatch(const Lines& original, PathForm form, int* pathLists) {
  Lines lines;
  *pathLists = 0;
  for (const std::string& line : original) {
    size_t list = PathListStart(line);
    if (list != kNone) ++*pathLists;
    lines.push_back(list == kNone ? line : WithRom(line, list, form));
  }
  lines.insert(lines.begin() + std::min<size_t>(1, lines.size()), kSetLine);
  lines.insert(lines.begin() + lines.size() / 2 + 1, kProgramLine);
  if (form == PathForm::kOwnWords) {
    lines.insert(lines.begin() + std::min<size_t>(2, lines.size()),
                 kOwnSetLine);
    lines.push_back(kOwnProgramLine);
  }
  return lines;
}

// DEVICE or DEVICEHIGH, "?" or not, then "=" or a blank: a line that loads
// a driver, naming EMM386.EXE.
bool LoadsEmm386(const std::string& line) {
  const std::string upper = Upper(line);
  size_t i = upper.find_first_not_of(" \t");
  if (i == kNone || upper.compare(i, 6, "DEVICE") != 0) return false;
  i += 6;
  if (upper.compare(i, 4, "HIGH") == 0) i += 4;
  if (i < upper.size() && upper[i] == '?') ++i;
  return i < upper.size() && (upper[i] == '=' || IsModelBlank(upper[i])) &&
         upper.find("EMM386.EXE") != kNone;
}

// The installer saved EMM386.EXE in its own directory and loads it from
// there: the path before "EMM386.EXE" is replaced, the form of the line and
// its options stay.
std::string MovedToSavedCopy(const std::string& line) {
  size_t at = Upper(line).find("EMM386.EXE");
  size_t start = line.find_last_of(" \t=", at);
  start = start == kNone ? 0 : start + 1;
  return line.substr(0, start) + kSavedEmm386 + line.substr(at + 10);
}

// What the cleaning makes of a line that loaded EMM386.EXE.
std::string LoadingWindowsCopy(const std::string& line) {
  return kWindowsEmm386Line + line.substr(Upper(line).find("EMM386.EXE") + 10);
}

enum class ConfigForm { kFirstMoved, kEveryMoved };
const ConfigForm kConfigForms[] = {ConfigForm::kFirstMoved,
                                   ConfigForm::kEveryMoved};

// The installed CONFIG.SYS, and what the cleaning must make of it.
void InstallInConfig(const Lines& original, ConfigForm form, Lines* installed,
                     Lines* expected, int* moved) {
  *installed = original;
  *expected = original;
  *moved = 0;
  for (size_t i = 0; i < original.size(); ++i) {
    if (!LoadsEmm386(original[i])) continue;
    if (form == ConfigForm::kFirstMoved && *moved > 0) continue;
    ++*moved;
    (*installed)[i] = MovedToSavedCopy(original[i]);
    (*expected)[i] = LoadingWindowsCopy(original[i]);
  }
}

// --------------------------------------------------------------- the files

bool HasPrefix(const std::string& name, const char* prefix) {
  return Upper(name).compare(0, strlen(prefix), prefix) == 0;
}

bool KindOf(const std::string& name, Kind* kind) {
  const std::string upper = Upper(name);
  auto endsWith = [&](const char* tail) {
    size_t n = strlen(tail);
    return upper.size() > n && upper.compare(upper.size() - n, n, tail) == 0;
  };
  if (HasPrefix(name, "AUTOEXEC") && endsWith(".BAT")) {
    *kind = Kind::kAutoexec;
  } else if (HasPrefix(name, "DOSSTART") && endsWith(".BAT")) {
    *kind = Kind::kDosstart;
  } else if (HasPrefix(name, "CONFIG") && endsWith(".SYS")) {
    *kind = Kind::kConfigSys;
  } else {
    return false;
  }
  return true;
}

std::vector<StartFile> FilesIn(const std::string& directory) {
  std::vector<StartFile> files;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(directory, error)) {
    StartFile file;
    file.name = entry.path().filename().string();
    if (!entry.is_regular_file() || !KindOf(file.name, &file.kind)) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    file.bytes = bytes.str();
    files.push_back(file);
  }
  std::sort(files.begin(), files.end(),
            [](const StartFile& a, const StartFile& b) { return a.name < b.name; });
  return files;
}

std::vector<std::string> Directories() {
  std::vector<std::string> directories = {std::string(SELDUNAX_TEST_DATA) +
                                          "/startfiles"};
  const char* more = std::getenv("SELDUNAX_START_FILES");
  std::stringstream list(more != nullptr ? more : "");
  std::string directory;
  while (std::getline(list, directory, ':')) {
    if (!directory.empty()) directories.push_back(directory);
  }
  return directories;
}

const char* EndsOf(const std::string& bytes) {
  bool crlf = bytes.find("\r\n") != kNone;
  bool lf = bytes.find('\n') != kNone;
  bool cr = bytes.find('\r') != kNone;
  if (crlf) return "CR LF";
  if (lf) return cr ? "mixed" : "LF";
  return cr ? "CR" : "none";
}

// ------------------------------------------------------------- the property

struct Result {
  std::string name;
  const char* ends;
  std::string forms;
  size_t linesIn;       // the original's lines, empty ones included
  size_t installedMax;  // the most lines an installed form had
  size_t linesOut;      // the cleaned file's lines
  int cardLines;        // PATH lists that got the ROM, or EMM386 lines moved
  int passed;
  int run;
};

// Cleans installed as the uninstall cleans a file of this kind, on the fake
// machine with EMM386.EXE restored and the second card's words in the
// control file; returns the file afterwards.
std::string Clean(Kind kind, const std::string& installed) {
  const char* target = kind == Kind::kAutoexec   ? "C:\\AUTOEXEC.BAT"
                       : kind == Kind::kDosstart ? "C:\\WINDOWS\\DOSSTART.BAT"
                                                 : "C:\\CONFIG.SYS";
  fake::Reset();
  fake::AddFile("C:\\WINDOWS\\EMM386.EXE", "MZ");
  fake::AddFile(target, installed);
  WriteControlFile(kControl, kOwnWords);
  if (kind == Kind::kConfigSys) {
    FixConfigSys(ScratchRecord());
  } else {
    CleanBatchFile(target, kControl, ScratchRecord());
  }
  EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
  return fake::ReadFile(target);
}

bool CheckForm(Kind kind, const Lines& installed, const Lines& expected,
               const char* end, Result* result) {
  const std::string text = Join(installed, end);
  result->installedMax = std::max(result->installedMax, installed.size());
  const std::string cleaned = Clean(kind, text);
  const std::string want = SavedText(expected);
  result->linesOut = SplitAnyEnds(cleaned).size();
  ++result->run;
  EXPECT_EQ(cleaned, want);
  if (cleaned != want) return false;
  ++result->passed;
  return true;
}

Result RoundTrip(const StartFile& file) {
  const Lines original = SplitAnyEnds(file.bytes);
  Result result = {file.name, EndsOf(file.bytes), "", original.size(), 0, 0,
                   0, 0, 0};
  for (const LineEnding& ending : kEndings) {
    if (file.kind == Kind::kConfigSys) {
      for (ConfigForm form : kConfigForms) {
        SCOPED_TRACE(file.name + ", " + ending.name +
                     (form == ConfigForm::kFirstMoved ? ", first EMM386 moved"
                                                      : ", every EMM386 moved"));
        Lines installed, expected;
        InstallInConfig(original, form, &installed, &expected,
                        &result.cardLines);
        CheckForm(file.kind, installed, expected, ending.end, &result);
      }
      result.forms = "EMM386 first/every x 3 ends";
      continue;
    }
    for (PathForm form : kPathForms) {
      SCOPED_TRACE(file.name + ", " + ending.name + ", " + FormName(form));
      Lines installed = InstallInBatch(original, form, &result.cardLines);
      CheckForm(file.kind, installed, original, ending.end, &result);
    }
    result.forms = "ROM 4 ways, own words x 3 ends";
  }
  EXPECT_EQ(result.linesOut, NonEmpty(original)) << file.name;
  return result;
}

void PrintTable(const std::vector<Result>& results) {
  std::printf("%-58s %-6s %-28s %5s %5s %5s %5s  %s\n", "file", "ends",
              "forms", "in", "inst", "out", "card", "result");
  for (const Result& r : results) {
    std::printf("%-58s %-6s %-28s %5zu %5zu %5zu %5d  %d/%d %s\n",
                r.name.c_str(), r.ends, r.forms.c_str(), r.linesIn,
                r.installedMax, r.linesOut, r.cardLines, r.passed, r.run,
                r.passed == r.run ? "equal" : "DIFFERENT");
  }
}

TEST(StartFileRoundTrip, CleaningGivesBackTheOriginalWithoutEmptyLines) {
  std::vector<Result> results;
  for (const std::string& directory : Directories()) {
    std::vector<StartFile> files = FilesIn(directory);
    EXPECT_FALSE(files.empty()) << "no start-up files in " << directory;
    for (const StartFile& file : files) results.push_back(RoundTrip(file));
  }
  PrintTable(results);
}

}  // namespace
