// Fuzz target: text files held as lines and every editor of them, on
// arbitrary file bytes.
//
// Input: three length-prefixed strings (a word for the line editors, a
// replacement line, a path to schedule for deletion), then the file's bytes.
// Checked on the way:
//  - LoadTextLines splits exactly as text mode reads (CR LF, LF or CR ends
//    a line, Ctrl-Z ends the data), leaves 16 null slots, refuses NUL bytes;
//  - each line editor gives the lines a model of its rules gives;
//  - a saved file reloads to the same non-empty lines and keeps its hidden
//    and system attributes;
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
  std::string line;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] != '\r' && data[i] != '\n') {
      line += data[i];
      continue;
    }
    out->push_back(line);
    line.clear();
    if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
  }
  if (!line.empty()) out->push_back(line);
  return true;
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

// "PATH" as a word (at the start, or after a blank or "@") followed by "="
// or a blank, starting at at.
bool PathOpener(const std::string& upper, size_t at) {
  if (upper.compare(at, 4, "PATH") != 0 || at + 4 >= upper.size()) return false;
  if (at > 0 && !Blank(upper[at - 1]) && upper[at - 1] != '@') return false;
  return upper[at + 4] == '=' || Blank(upper[at + 4]);
}

// The PATH-list rules for one line: every entry holding word goes when the
// list is a PATH list, with the ";" before it, or, opening the list, with
// the ";" after it.
std::string ModelRemovePath(std::string line, const std::string& word) {
  size_t from = 0;
  for (;;) {
    size_t at = UpperCopy(line).find(word, from);
    if (at == std::string::npos) return line;
    const std::string upper = UpperCopy(line);
    size_t start = line.find_last_of("; \t=", at == 0 ? 0 : at - 1);
    start = (at == 0 || start == std::string::npos) ? 0 : start + 1;
    size_t end = line.find_first_of("; \t=", at + word.size());
    if (end == std::string::npos) end = line.size();
    bool afterSemicolon = start > 0 && line[start - 1] == ';';
    bool openerBefore = false;
    for (size_t p = 0; afterSemicolon && p + 4 < start - 1; ++p) {
      openerBefore = openerBefore || PathOpener(upper, p);
    }
    // PATH, then blanks, at most one "=", blanks, right before the entry.
    size_t p = start;
    while (p > 0 && Blank(line[p - 1])) --p;
    if (p > 0 && line[p - 1] == '=') --p;
    while (p > 0 && Blank(line[p - 1])) --p;
    bool opensList = !afterSemicolon && p < start && p >= 4 &&
                     PathOpener(upper, p - 4);
    if (afterSemicolon && openerBefore) {
      line.erase(start - 1, end - start + 1);
      from = start - 1;
    } else if (opensList) {
      if (end < line.size() && line[end] == ';') ++end;
      line.erase(start, end - start);
      from = start;
    } else {
      from = at + 1;
    }
  }
}

// DEVICE or DEVICEHIGH, "?" or not, then "=" or a blank, after blanks.
bool ModelLoadsDriver(const std::string& line) {
  std::string upper = UpperCopy(line);
  size_t i = upper.find_first_not_of(" \t");
  if (i == std::string::npos || upper.compare(i, 6, "DEVICE") != 0) return false;
  i += 6;
  if (upper.compare(i, 4, "HIGH") == 0) i += 4;
  if (i < upper.size() && upper[i] == '?') ++i;
  return i < upper.size() && (upper[i] == '=' || Blank(upper[i]));
}

// The first line loading any EMM386.EXE and every later one loading the
// saved copy become newStart and the text after their first EMM386.EXE.
Lines ModelReplaceManager(Lines lines, const std::string& newStart) {
  bool first = true;
  for (std::string& line : lines) {
    const char* wanted = first ? "EMM386.EXE" : "C:\\VANTORIS\\DOS\\EMM386.EXE";
    if (!ModelLoadsDriver(line) || !Contains(line, wanted)) continue;
    line = newStart + line.substr(UpperCopy(line).find("EMM386.EXE") + 10);
    first = false;
  }
  return lines;
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
  const uint32_t hiddenSystem = plat::kAttrHidden | plat::kAttrSystem;
  fake::AddFile(kScratch, bytes, hiddenSystem);
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
    std::string expected = ModelRemovePath(before[i], word);
    FUZZ_CHECK(expected == lines[i],
               "RemovePathEntry: [%s] became [%s], expected [%s]",
               before[i].c_str(), lines[i], expected.c_str());
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
  Lines replaced = ModelReplaceManager(before, newText);
  FUZZ_CHECK(Lines(lines, lines + count) == replaced,
             "ReplaceMemoryManagerLine gave\n%sexpected\n%s",
             Describe(Lines(lines, lines + count)).c_str(),
             Describe(replaced).c_str());

  Lines edited(lines, lines + count);
  int saved = SaveTextLines(lines, kScratch, count);
  FreeTextLines(lines, count);
  CheckNothingLeft("SaveTextLines");
  FUZZ_CHECK(saved == 0, "SaveTextLines failed on a plain file");
  FUZZ_CHECK(fake::Attributes(kScratch) == hiddenSystem,
             "saved file has attributes %x", fake::Attributes(kScratch));
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
  Lines expected;
  for (const std::string& line : original) {
    std::string kept = ModelRemovePath(line, "HALCYREN.ROM");
    if (kept.empty() || Contains(kept, "HALCYREN.ROM") ||
        Contains(kept, "HALCYRENE")) {
      continue;
    }
    expected.push_back(kept);
  }
  Lines after;
  FUZZ_CHECK(Load(kAutoexec, &after), "cleaned batch file does not load");
  FUZZ_CHECK(after == expected, "cleaned batch file\n%sexpected\n%s",
             Describe(after).c_str(), Describe(expected).c_str());
}

void CheckFixConfigSys(const std::string& bytes) {
  // Without an EMM386.EXE in the Windows directory nothing changes.
  fake::AddFile(kConfigSys, bytes);
  FixConfigSys();
  CheckNothingLeft("FixConfigSys");
  FUZZ_CHECK(Unchanged(kConfigSys, bytes),
             "CONFIG.SYS changed without an EMM386.EXE to load");

  fake::AddFile("C:\\WINDOWS\\EMM386.EXE", "MZ");
  FixConfigSys();
  CheckNothingLeft("FixConfigSys");
  Lines original;
  if (!ModelLoad(bytes, &original)) {
    FUZZ_CHECK(Unchanged(kConfigSys, bytes), "refused CONFIG.SYS was changed");
    return;
  }
  Lines expected = NonEmpty(ModelReplaceManager(original, kEmmLine));
  Lines after;
  FUZZ_CHECK(Load(kConfigSys, &after), "fixed CONFIG.SYS does not load");
  FUZZ_CHECK(after == expected, "CONFIG.SYS\n%sexpected\n%s",
             Describe(after).c_str(), Describe(expected).c_str());
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

// A word as the line editors are given one: part of a path entry, so no
// ";", "=" or blanks either.
std::string EntryText(const std::string& text) {
  std::string out;
  for (char c : PlainText(text)) {
    if (c != ';' && c != '=' && c != ' ' && c != '\t') out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader in(data, size);
  std::string word = UpperCopy(EntryText(in.Bytes()));
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
  fake::Reset();  // every input frees what it took: the leak check stays quiet
  return 0;
}
