// Fuzz target: the control-file checker against the program's reader. The
// input is a control file's bytes; on the fake machine holding them, in
// each of the two readings (Windows 95's and the NT family's):
//   - every value the checker's own reading finds (every key of every
//     section, and the numbered keys the program asks for) equals what the
//     platform's private-profile reader returns for that section and key;
//   - the paths the checker's run cursor judges for [delete], [multdel] and
//     [deltree] are those the program's list reader hands on, in order;
//   - the whole check runs without fault (under the sanitizers), for the
//     usual Windows directory and one that leaves little room.
#include <string>
#include <vector>

#include "control/control_file.h"
#include "control/path_helpers.h"
#include "platform/fake/fake_machine.h"
#include "platform/platform.h"
#include "seldchk/check_file.h"
#include "seldchk/ini_document.h"
#include "seldchk/run_cursor.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const char kControlPath[] = "C:\\DISK\\SELDUNAX.INI";

// The reader's whole value: a buffer larger than the file.
std::string ReaderValue(const std::string& section, const std::string& key,
                        std::vector<char>* buffer) {
  plat::ReadProfileString(section.c_str(), key.c_str(), "", buffer->data(),
                          static_cast<uint32_t>(buffer->size()), kControlPath);
  buffer->back() = '\0';
  return buffer->data();
}

bool HasNul(const std::string& text) {
  return text.find('\0') != std::string::npos;
}

std::string NameOf(const IniDocument& doc, const DocLine& line) {
  return std::string(doc.text + line.profile.name.begin,
                     line.profile.name.length);
}

void CheckValue(const IniDocument& doc, const std::string& section,
                const std::string& key, std::vector<char>* buffer) {
  if (HasNul(section) || HasNul(key)) return;  // no C-string caller asks so
  const DocLine* line =
      FindKey(doc, FindSection(doc, section.c_str()), key.c_str());
  std::string mine;
  if (line != nullptr) {
    ProfileValue value = ValueOf(doc, *line);
    mine.assign(value.text, value.length);
  }
  std::string reader = ReaderValue(section, key, buffer);
  FUZZ_CHECK(mine == reader, "[%s] %s: checker read \"%s\", reader \"%s\"",
             section.c_str(), key.c_str(), mine.c_str(), reader.c_str());
}

void CheckEveryValue(const IniDocument& doc, std::vector<char>* buffer) {
  std::vector<std::string> sections = {"pnpids", "copy", "delete", "multdel",
                                       "deltree", "REBOOTNOW"};
  size_t keys = 0;
  std::string section;
  for (size_t i = 0; i < doc.count; ++i) {
    const DocLine& line = doc.lines[i];
    if (line.profile.kind == ProfileLineKind::Section) {
      section = NameOf(doc, line);
      sections.push_back(section);
    } else if (line.profile.kind == ProfileLineKind::Key) {
      ++keys;
      CheckValue(doc, section, NameOf(doc, line), buffer);
    }
  }
  // The numbered keys the program asks for, there or not.
  int last = static_cast<int>(keys < 40 ? keys : 40) + 2;
  for (const std::string& name : sections) {
    for (int n = 0; n <= last; ++n) {
      for (const char* prefix : {"", "FROM", "TO"}) {
        CheckValue(doc, name, prefix + std::to_string(n), buffer);
      }
    }
  }
}

// The expansions the run cursor judged, against the program's list reader.
void CheckListPaths(const IniDocument& doc, const Directories& directories) {
  std::vector<std::string> checker[3];
  RunCursor cursor;
  StartRun(&cursor, kControlPath, &doc, &directories, nullptr, false);
  RunItem item;
  const char* const lists[3] = {"delete", "multdel", "deltree"};
  while (NextRunItem(&cursor, &item)) {
    if (item.kind != RunItemKind::Entry) continue;
    for (int i = 0; i < 3; ++i) {
      if (std::string(item.section->name) == lists[i] &&
          item.value.expanded[0] != '\0') {
        checker[i].push_back(item.value.expanded);
      }
    }
  }
  for (int i = 0; i < 3; ++i) {
    std::vector<std::string> program;
    ListPathCursor list = StartListPaths(kControlPath, lists[i]);
    char path[kPathSize];
    while (NextListPath(&list, path)) program.push_back(path);
    FUZZ_CHECK(checker[i] == program, "[%s]: the checker has %zu paths, the "
               "program %zu", lists[i], checker[i].size(), program.size());
  }
}

void CheckWholeRun(const std::string& ini, ProfileReading reading,
                   const std::string& windows) {
  const std::string system = windows + "\\SYSTEM";
  fake::SetWindowsDir(windows);
  fake::SetSystemDir(system);
  std::vector<const char*> args = {"--windir", windows.c_str(), "--winsys",
                                   system.c_str(), "--plan", "SELDUNAX.INI"};
  CommandLine command;
  ParseArguments(static_cast<int>(args.size()), args.data(), &command);
  int code = CheckFile(CheckInput{&command, ini.data(), ini.size(),
                                  kControlPath, "C:\\DISK", reading, false,
                                  false});
  FUZZ_CHECK(code >= 0 && code <= 2, "exit code %d", code);
}

void CheckReading(const std::string& ini, ProfileReading reading) {
  fake::Reset();
  fake::SetProfileReading(reading);
  fake::AddFile(kControlPath, ini);
  fake::AddDir("C:\\" + std::string(230, 'W') + "\\TEMP");
  std::vector<char> text(ini.size() + 1);
  size_t size = ProfileText(ini.data(), ini.size(), reading, text.data(),
                            nullptr);
  IniDocument doc;
  FUZZ_CHECK(ReadDocument(text.data(), size, reading, &doc), "no memory");
  std::vector<char> buffer(ini.size() + 2);
  CheckEveryValue(doc, &buffer);
  Directories usual{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", false};
  CheckListPaths(doc, usual);
  ReleaseDocument(&doc);
  CheckWholeRun(ini, reading, "C:\\WINDOWS");
  CheckWholeRun(ini, reading, "C:\\" + std::string(230, 'W'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string ini(reinterpret_cast<const char*>(data), size);
  CheckReading(ini, ProfileReading::Windows95);
  CheckReading(ini, ProfileReading::NtFamily);
  fake::Reset();
  return 0;
}
