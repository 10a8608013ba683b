// Fuzz target: text files held as lines and every editor of them, on
// arbitrary file bytes.
//
// Input: three length-prefixed strings (a word for the line editors, a
// replacement line, the name of a file to schedule for deletion), then the
// file's bytes.
// Checked on the way:
//  - LoadTextLines splits exactly as text mode reads (CR LF, LF or CR ends
//    a line, Ctrl-Z ends the data), leaves 16 null slots, holds NUL bytes
//    escaped;
//  - each line editor gives the lines a model of its rules gives;
//  - a saved file reloads to the same non-empty lines and keeps its hidden
//    and system attributes;
//  - CleanBatchFile, FixConfigSys and ScheduleDeleteOnReboot on the real
//    start-up paths leave a file that reloads to the expected lines, or the
//    original bytes untouched, and no temporary file or open handle behind.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/fuzz/fuzz_check.h"
#include "textfile/batch_file.h"
#include "textfile/config_sys.h"
#include "textfile/line_file.h"
#include "textfile/wininit.h"
#include "tests/unit/support/scratch_record.h"

namespace {

using Lines = std::vector<std::string>;

const char kScratch[] = "C:\\DATA\\T.TXT";
const char kAutoexec[] = "C:\\AUTOEXEC.BAT";
const char kConfigSys[] = "C:\\CONFIG.SYS";
const char kWininit[] = "C:\\WINDOWS\\WININIT.INI";
const char kEmmLine[] = "DEVICE=C:\\WINDOWS\\EMM386.EXE";

// The upper-case form of text in *buffer, which keeps its memory from call
// to call: the models look at every line many times, and an allocation
// for each look cost most of the target's time.
const std::string& UpperInto(const std::string& text, std::string* buffer) {
  buffer->assign(text);
  for (char& c : *buffer) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return *buffer;
}

bool Contains(const std::string& line, const std::string& upperWord) {
  static std::string upper;
  return UpperInto(line, &upper).find(upperWord) != std::string::npos;
}

// A line of the file as the loader holds it: NUL and the escape byte
// escaped.
std::string Escaped(const std::string& bytes, size_t start, size_t length) {
  std::string line;
  for (size_t i = start; i < start + length; ++i) {
    if (bytes[i] == '\0' || bytes[i] == '\x01') {
      line += '\x01';
      line += bytes[i] == '\0' ? '\x02' : '\x01';
    } else {
      line += bytes[i];
    }
  }
  return line;
}

// Text mode as the loader promises it; false for data it must refuse.
bool ModelLoad(const std::string& bytes, Lines* out) {
  const size_t size = std::min(bytes.find('\x1a'), bytes.size());
  out->clear();
  size_t start = 0;
  while (start < size) {
    size_t end = std::min(bytes.find_first_of("\r\n", start), size);
    out->push_back(Escaped(bytes, start, end - start));
    if (end == size) break;  // text after the last line end
    start = end + 1;
    if (bytes[end] == '\r' && start < size && bytes[start] == '\n') ++start;
  }
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
  static std::string upperBuffer;
  size_t from = 0;
  for (;;) {
    const std::string& upper = UpperInto(line, &upperBuffer);
    size_t at = upper.find(word, from);
    if (at == std::string::npos) return line;
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
  static std::string upperBuffer;
  const std::string& upper = UpperInto(line, &upperBuffer);
  size_t i = upper.find_first_not_of(" \t");
  if (i == std::string::npos || upper.compare(i, 6, "DEVICE") != 0) return false;
  i += 6;
  if (upper.compare(i, 4, "HIGH") == 0) i += 4;
  if (i < upper.size() && upper[i] == '?') ++i;
  return i < upper.size() && (upper[i] == '=' || Blank(upper[i]));
}

// The first line loading any EMM386.EXE and every later one loading the
// saved copy become newStart and the text after their first EMM386.EXE.
void ModelReplaceManager(Lines* lines, const std::string& newStart) {
  bool first = true;
  for (std::string& line : *lines) {
    const char* wanted = first ? "EMM386.EXE" : "C:\\VANTORIS\\DOS\\EMM386.EXE";
    if (!ModelLoadsDriver(line) || !Contains(line, wanted)) continue;
    line = newStart + line.substr(UpperCopy(line).find("EMM386.EXE") + 10);
    first = false;
  }
}

Lines NonEmpty(const Lines& lines) {
  Lines out;
  for (const std::string& line : lines) {
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

// The loader's lines are exactly want.
bool SameLines(const LineArray lines, int count, const Lines& want) {
  if (static_cast<size_t>(count) != want.size()) return false;
  for (int i = 0; i < count; ++i) {
    if (want[i] != lines[i]) return false;
  }
  return true;
}

// The loader's lines are the non-empty lines of want, as a saved file
// reloads.
bool SameNonEmptyLines(const LineArray lines, int count, const Lines& want) {
  int i = 0;
  for (const std::string& line : want) {
    if (line.empty()) continue;
    if (i == count || line != lines[i]) return false;
    ++i;
  }
  return i == count;
}

std::string Describe(const Lines& lines) {
  std::string out;
  for (const std::string& line : lines) out += "  [" + line + "]\n";
  return out;
}

std::string Describe(const LineArray lines, int count) {
  return Describe(Lines(lines, lines + count));
}

// path loads through the real loader to the non-empty lines of want.
void CheckReloads(const char* path, const Lines& want, const char* what) {
  int count = -1;
  LineArray lines = LoadTextLines(path, &count);
  FUZZ_CHECK(lines != nullptr, "%s does not load", what);
  FUZZ_CHECK(SameNonEmptyLines(lines, count, want), "%s\n%sexpected\n%s", what,
             Describe(lines, count).c_str(), Describe(NonEmpty(want)).c_str());
  FreeTextLines(lines, count);
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

// The model's reading of the file's bytes, worked out once for all the
// checks of an input.
struct Original {
  std::string bytes;
  bool loadable = false;  // false: the loader must refuse the bytes
  Lines lines;
};

// LoadTextLines and the three line editors on the scratch file. The model
// follows each editor in place, so that it also gives what the lines were
// before the next one.
void CheckEditors(const Original& original, const std::string& word,
                  const std::string& newText) {
  const uint32_t hiddenSystem = plat::kAttrHidden | plat::kAttrSystem;
  fake::AddFile(kScratch, original.bytes, hiddenSystem);
  int count = -1;
  LineArray lines = LoadTextLines(kScratch, &count);
  CheckNothingLeft("LoadTextLines");
  FUZZ_CHECK((lines != nullptr) == original.loadable,
             "load gave %s, expected %s", lines ? "lines" : "nothing",
             original.loadable ? "lines" : "nothing");
  if (lines == nullptr) return;
  Lines model = original.lines;
  FUZZ_CHECK(SameLines(lines, count, model), "loaded\n%sexpected\n%s",
             Describe(lines, count).c_str(), Describe(model).c_str());
  for (int i = count; i < count + 16; ++i) {
    FUZZ_CHECK(lines[i] == nullptr, "spare slot %d is not empty", i);
  }

  RemovePathEntry(lines, count, word.c_str());
  for (int i = 0; i < count; ++i) {
    std::string& before = model[i];
    if (!Contains(before, word)) {
      FUZZ_CHECK(before == lines[i], "RemovePathEntry: [%s] became [%s]",
                 before.c_str(), lines[i]);
      continue;
    }
    std::string expected = ModelRemovePath(before, word);
    FUZZ_CHECK(expected == lines[i],
               "RemovePathEntry: [%s] became [%s], expected [%s]",
               before.c_str(), lines[i], expected.c_str());
    before = std::move(expected);
  }

  BlankMatchingLines(lines, count, word.c_str());
  for (int i = 0; i < count; ++i) {
    std::string& before = model[i];
    bool blanked = Contains(before, word);
    FUZZ_CHECK((blanked ? "" : before) == lines[i],
               "BlankMatchingLines: [%s] became [%s]", before.c_str(),
               lines[i]);
    if (blanked) before.clear();
  }

  ReplaceMemoryManagerLine(lines, count, newText.c_str());
  ModelReplaceManager(&model, newText);
  FUZZ_CHECK(SameLines(lines, count, model),
             "ReplaceMemoryManagerLine gave\n%sexpected\n%s",
             Describe(lines, count).c_str(), Describe(model).c_str());

  int saved = SaveTextLines(lines, kScratch, count);
  FreeTextLines(lines, count);
  CheckNothingLeft("SaveTextLines");
  FUZZ_CHECK(saved == 0, "SaveTextLines failed on a plain file");
  FUZZ_CHECK(fake::Attributes(kScratch) == hiddenSystem,
             "saved file has attributes %x", fake::Attributes(kScratch));
  CheckReloads(kScratch, model, "saved file");
}

// A file the loader refuses must come out of an editor byte for byte.
bool Unchanged(const char* path, const std::string& bytes) {
  return fake::ReadFile(path) == bytes;
}

void CheckCleanBatchFile(const Original& original) {
  fake::AddFile(kAutoexec, original.bytes);
  CleanBatchFile(kAutoexec, "C:\\DISK\\SELDUNAX.INI", ScratchRecord());
  CheckNothingLeft("CleanBatchFile");
  if (!original.loadable) {
    FUZZ_CHECK(Unchanged(kAutoexec, original.bytes),
               "refused batch file was changed");
    return;
  }
  Lines expected;
  for (const std::string& line : original.lines) {
    if (!Contains(line, "HALCYREN")) {  // nothing for the cleaner to see
      if (!line.empty()) expected.push_back(line);
      continue;
    }
    std::string kept = ModelRemovePath(line, "HALCYREN.ROM");
    if (kept.empty() || Contains(kept, "HALCYREN.ROM") ||
        Contains(kept, "HALCYRENE")) {
      continue;
    }
    expected.push_back(std::move(kept));
  }
  CheckReloads(kAutoexec, expected, "cleaned batch file");
}

void CheckFixConfigSys(const Original& original) {
  // Without an EMM386.EXE in the Windows directory nothing changes.
  fake::AddFile(kConfigSys, original.bytes);
  FixConfigSys(ScratchRecord());
  CheckNothingLeft("FixConfigSys");
  FUZZ_CHECK(Unchanged(kConfigSys, original.bytes),
             "CONFIG.SYS changed without an EMM386.EXE to load");

  fake::AddFile("C:\\WINDOWS\\EMM386.EXE", "MZ");
  FixConfigSys(ScratchRecord());
  CheckNothingLeft("FixConfigSys");
  if (!original.loadable) {
    FUZZ_CHECK(Unchanged(kConfigSys, original.bytes),
               "refused CONFIG.SYS was changed");
    return;
  }
  Lines expected = original.lines;
  ModelReplaceManager(&expected, kEmmLine);
  CheckReloads(kConfigSys, expected, "CONFIG.SYS");
}

// A file name DOS can read made of name's characters: up to eight that
// DOS allows in names, and ".DRV".
std::string DosName(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (out.size() < 8 && static_cast<unsigned char>(c) > ' ' &&
        !std::strchr("\"*+,./:;<=>?[\\]|", c)) {
      out += c;
    }
  }
  return (out.empty() ? "X" : out) + ".DRV";
}

void CheckSchedule(const Original& original, const std::string& name) {
  const std::string path = "C:\\DATA\\" + DosName(name);
  fake::AddFile(kWininit, original.bytes);
  // A file that is not there has no 8.3 path: nothing is written.
  FUZZ_CHECK(!ScheduleDeleteOnReboot(path.c_str()),
             "an entry for a missing file");
  CheckNothingLeft("ScheduleDeleteOnReboot");
  FUZZ_CHECK(Unchanged(kWininit, original.bytes),
             "WININIT.INI changed without an entry");
  fake::AddFile(path, "MZ");
  ScheduleDeleteOnReboot(path.c_str());
  CheckNothingLeft("ScheduleDeleteOnReboot");
  if (!original.loadable) {
    FUZZ_CHECK(Unchanged(kWininit, original.bytes),
               "refused WININIT.INI was changed");
    return;
  }
  Lines lines = original.lines;
  std::string entry = "NUL=" + path;
  std::string upper;
  size_t header = 0;
  while (header < lines.size() &&
         UpperInto(lines[header], &upper).compare(0, 8, "[RENAME]") != 0) {
    ++header;
  }
  if (header < lines.size()) {
    lines.insert(lines.begin() + header + 1, entry);
  } else {
    lines.push_back("[rename]");
    lines.push_back(entry);
  }
  CheckReloads(kWininit, lines, "WININIT.INI");
}

// Keeps the bytes a caller could really pass: no line ends, no Ctrl-Z, no
// NUL, no escape byte (added lines hold no control bytes).
std::string PlainText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != '\0' && c != '\x01' && c != '\n' && c != '\r' && c != '\x1a') {
      out += c;
    }
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
  Original original;
  original.bytes = in.Rest();
  original.loadable = ModelLoad(original.bytes, &original.lines);
  if (word.empty()) word = "HALCYREN.ROM";
  if (path.empty()) path = "C:\\X.DRV";

  // The machine is a fresh one: the first input finds it so, and every
  // input ends with a reset.
  fake::AddDir("C:\\DATA");
  CheckEditors(original, word, newText);
  CheckCleanBatchFile(original);
  CheckFixConfigSys(original);
  CheckSchedule(original, path);
  fake::Reset();  // every input frees what it took: the leak check stays quiet
  return 0;
}
