// Fuzz target: text files held as lines and every editor of them, on
// arbitrary file bytes.
//
// Input: three length-prefixed strings (a word for the line editors, a
// replacement line, a path to schedule for deletion), then the file's bytes.
// Checked on the way:
//  - LoadTextLines splits exactly as text mode reads (LF or CR LF ends a
//    line, Ctrl-Z ends the data), leaves 16 null slots, refuses NUL bytes;
//  - each line editor changes only the lines it may, as it may;
//  - a saved file reloads to the same non-empty lines;
//  - CleanBatchFile, FixConfigSys and ScheduleDeleteOnReboot on the real
//    start-up paths leave a file that reloads to the expected lines, or the
//    original bytes untouched, and no temporary file or open handle behind.
#include <cstring>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/fuzz/fuzz_check.h"
#include "textfile/batch_file.h"
#include "textfile/config_sys.h"
#include "textfile/line_file.h"
#include "textfile/wininit.h"

namespace {

using Lines = std::vector<std::string>;

const char kScratch[] = "C:\\DATA\\T.TXT";
const char kAutoexec[] = "C:\\AUTOEXEC.BAT";
const char kConfigSys[] = "C:\\CONFIG.SYS";
const char kWininit[] = "C:\\WINDOWS\\WININIT.INI";
const char kEmmLine[] = "DEVICE=C:\\WINDOWS\\EMM386.EXE";

bool Contains(const std::string& line, const std::string& upperWord) {
  return UpperCopy(line).find(upperWord) != std::string::npos;
}

// Text mode as the loader promises it; false for data it must refuse.
bool ModelLoad(const std::string& bytes, Lines* out) {
  std::string data = bytes.substr(0, bytes.find('\x1a'));
  if (data.find('\0') != std::string::npos) return false;
  out->clear();
  size_t start = 0;
  while (start < data.size()) {
    size_t lf = data.find('\n', start);
    if (lf == std::string::npos) {
      out->push_back(data.substr(start));
      break;
    }
    size_t end = lf;
    if (end > start && data[end - 1] == '\r') --end;
    out->push_back(data.substr(start, end - start));
    start = lf + 1;
  }
  return true;
}

Lines NonEmpty(const Lines& lines) {
  Lines out;
  for (const std::string& line : lines) {
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

// Loads path through the real loader; false when it refuses the file.
bool Load(const char* path, Lines* out) {
  int count = -1;
  LineArray lines = LoadTextLines(path, &count);
  if (lines == nullptr) return false;
  out->assign(lines, lines + count);
  FreeTextLines(lines, count);
  return true;
}

std::string Describe(const Lines& lines) {
  std::string out;
  for (const std::string& line : lines) out += "  [" + line + "]\n";
  return out;
}

void CheckNothingLeft(const char* what) {
  FUZZ_CHECK(fake::OpenFiles() == 0, "%s left %d files open", what,
             fake::OpenFiles());
  FUZZ_CHECK(fake::OpenFinds() == 0, "%s left a search open", what);
  for (const std::string& path : fake::ListTree("C:\\")) {
    FUZZ_CHECK(path.find('$') == std::string::npos,
               "%s left a temporary file: %s", what, path.c_str());
  }
}

// LoadTextLines and the three line editors on the scratch file.
void CheckEditors(const std::string& bytes, const std::string& word,
                  const std::string& newText) {
  fake::AddFile(kScratch, bytes);
  Lines want;
  bool loadable = ModelLoad(bytes, &want);
  int count = -1;
  LineArray lines = LoadTextLines(kScratch, &count);
  CheckNothingLeft("LoadTextLines");
  FUZZ_CHECK((lines != nullptr) == loadable, "load gave %s, expected %s",
             lines ? "lines" : "nothing", loadable ? "lines" : "nothing");
  if (lines == nullptr) return;
  FUZZ_CHECK(Lines(lines, lines + count) == want, "loaded\n%sexpected\n%s",
             Describe(Lines(lines, lines + count)).c_str(),
             Describe(want).c_str());
  for (int i = count; i < count + 16; ++i) {
    FUZZ_CHECK(lines[i] == nullptr, "spare slot %d is not empty", i);
  }

  Lines before(lines, lines + count);
  RemovePathEntry(lines, count, word.c_str());
  for (int i = 0; i < count; ++i) {
    const std::string& was = before[i];
    std::string now = lines[i];
    if (now == was) continue;
    FUZZ_CHECK(Contains(was, "PATH") && Contains(was, word),
               "RemovePathEntry changed a line without PATH and the word: [%s]",
               was.c_str());
    // One run of characters is cut, covering the first occurrence of the
    // word and ending at a ";" or the end of the line.
    size_t at = UpperCopy(was).find(word);
    size_t cut = was.size() - now.size();
    FUZZ_CHECK(now.size() < was.size(), "line grew: [%s]", now.c_str());
    // now = was[0, s) + was[s + cut, end) for some s: s is at most the
    // common prefix and leaves at most the common suffix after it.
    size_t prefix = 0;
    while (prefix < now.size() && now[prefix] == was[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < now.size() &&
           now[now.size() - 1 - suffix] == was[was.size() - 1 - suffix]) {
      ++suffix;
    }
    bool explained = false;
    size_t lowest = now.size() > suffix ? now.size() - suffix : 0;
    for (size_t s = lowest; s <= prefix && s <= at && !explained; ++s) {
      size_t end = s + cut;
      explained = end >= at + word.size() &&
                  (end == was.size() || was[end] == ';');
    }
    FUZZ_CHECK(explained,
               "RemovePathEntry: [%s] became [%s]", was.c_str(), now.c_str());
  }

  before.assign(lines, lines + count);
  BlankMatchingLines(lines, count, word.c_str());
  for (int i = 0; i < count; ++i) {
    std::string expected = Contains(before[i], word) ? "" : before[i];
    FUZZ_CHECK(expected == lines[i], "BlankMatchingLines: [%s] became [%s]",
               before[i].c_str(), lines[i]);
  }

  before.assign(lines, lines + count);
  ReplaceMemoryManagerLine(lines, count, newText.c_str());
  int changed = 0;
  for (int i = 0; i < count; ++i) {
    if (before[i] == lines[i]) continue;
    ++changed;
    FUZZ_CHECK(newText == lines[i] && Contains(before[i], "EMM386.EXE") &&
                   UpperCopy(before[i]).compare(0, 4, "REM ") != 0,
               "ReplaceMemoryManagerLine: [%s] became [%s]",
               before[i].c_str(), lines[i]);
    for (int j = 0; j < i; ++j) {
      FUZZ_CHECK(!(UpperCopy(before[j]).compare(0, 7, "DEVICE=") == 0 &&
                   Contains(before[j], "EMM386.EXE")),
                 "ReplaceMemoryManagerLine passed over [%s]",
                 before[j].c_str());
    }
  }
  FUZZ_CHECK(changed <= 1, "ReplaceMemoryManagerLine changed %d lines",
             changed);

  Lines edited(lines, lines + count);
  int saved = SaveTextLines(lines, kScratch, count);
  FreeTextLines(lines, count);
  CheckNothingLeft("SaveTextLines");
  FUZZ_CHECK(saved == 0, "SaveTextLines failed on a plain file");
  Lines reloaded;
  FUZZ_CHECK(Load(kScratch, &reloaded), "saved file does not load");
  FUZZ_CHECK(reloaded == NonEmpty(edited), "saved\n%sreloaded\n%s",
             Describe(NonEmpty(edited)).c_str(), Describe(reloaded).c_str());
}

// A file the loader refuses must come out of an editor byte for byte.
bool Unchanged(const char* path, const std::string& bytes) {
  return fake::ReadFile(path) == bytes;
}

void CheckCleanBatchFile(const std::string& bytes) {
  fake::AddFile(kAutoexec, bytes);
  CleanBatchFile(kAutoexec);
  CheckNothingLeft("CleanBatchFile");
  Lines original;
  if (!ModelLoad(bytes, &original)) {
    FUZZ_CHECK(Unchanged(kAutoexec, bytes), "refused batch file was changed");
    return;
  }
  Lines after;
  FUZZ_CHECK(Load(kAutoexec, &after), "cleaned batch file does not load");
  size_t next = 0;
  for (const std::string& line : after) {
    FUZZ_CHECK(!Contains(line, "HALCYREN.ROM") && !Contains(line, "HALCYRENE"),
               "the card survived in [%s]", line.c_str());
    // Each line left is an original line, or a PATH line that lost text.
    while (next < original.size() && original[next] != line &&
           !(Contains(original[next], "PATH") &&
             original[next].size() > line.size())) {
      ++next;
    }
    FUZZ_CHECK(next < original.size(), "line [%s] came from nowhere",
               line.c_str());
    ++next;
  }
}

void CheckFixConfigSys(const std::string& bytes) {
  fake::AddFile(kConfigSys, bytes);
  FixConfigSys();
  CheckNothingLeft("FixConfigSys");
  Lines original;
  if (!ModelLoad(bytes, &original)) {
    FUZZ_CHECK(Unchanged(kConfigSys, bytes), "refused CONFIG.SYS was changed");
    return;
  }
  original = NonEmpty(original);
  Lines after;
  FUZZ_CHECK(Load(kConfigSys, &after), "fixed CONFIG.SYS does not load");
  FUZZ_CHECK(after.size() == original.size(), "CONFIG.SYS went from %zu to %zu lines",
             original.size(), after.size());
  int changed = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    if (after[i] == original[i]) continue;
    ++changed;
    FUZZ_CHECK(after[i] == kEmmLine && Contains(original[i], "EMM386.EXE"),
               "CONFIG.SYS: [%s] became [%s]", original[i].c_str(),
               after[i].c_str());
  }
  FUZZ_CHECK(changed <= 1, "FixConfigSys changed %d lines", changed);
}

void CheckSchedule(const std::string& bytes, const std::string& path) {
  fake::AddFile(kWininit, bytes);
  ScheduleDeleteOnReboot(path.c_str());
  CheckNothingLeft("ScheduleDeleteOnReboot");
  Lines lines;
  if (!ModelLoad(bytes, &lines)) {
    FUZZ_CHECK(Unchanged(kWininit, bytes), "refused WININIT.INI was changed");
    return;
  }
  std::string entry = "NUL=" + path;
  size_t header = 0;
  while (header < lines.size() &&
         UpperCopy(lines[header]).compare(0, 8, "[RENAME]") != 0) {
    ++header;
  }
  if (header < lines.size()) {
    lines.insert(lines.begin() + header + 1, entry);
  } else {
    lines.push_back("[rename]");
    lines.push_back(entry);
  }
  Lines after;
  FUZZ_CHECK(Load(kWininit, &after), "WININIT.INI does not load");
  FUZZ_CHECK(after == NonEmpty(lines), "WININIT.INI\n%sexpected\n%s",
             Describe(after).c_str(), Describe(NonEmpty(lines)).c_str());
}

// Keeps the bytes a caller could really pass: no line ends, no Ctrl-Z, no
// NUL.
std::string PlainText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != '\0' && c != '\n' && c != '\r' && c != '\x1a') out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader in(data, size);
  std::string word = UpperCopy(PlainText(in.Bytes()));
  std::string newText = PlainText(in.Bytes());
  std::string path = PlainText(in.Bytes());
  std::string bytes = in.Rest();
  if (word.empty()) word = "HALCYREN.ROM";
  if (path.empty()) path = "C:\\X.DRV";

  fake::Reset();
  fake::AddDir("C:\\DATA");
  CheckEditors(bytes, word, newText);
  CheckCleanBatchFile(bytes);
  CheckFixConfigSys(bytes);
  CheckSchedule(bytes, path);
  return 0;
}
