// Values at and past the 255-character limit of a path, bare and in quotes,
// in every file list: a value over the limit names nothing, and no list
// ever acts on a cut form of it (the reader drops outer quotes, and from a
// quoted value that just fills its buffer the last character too).
#include <set>

#include "fileops/file_lists.h"
#include "tests/unit/fileops/fileops_fixture.h"
#include "tests/unit/support/scratch_record.h"

namespace {

using fileops_test::kControl;

// A path of length characters in C:\D (letters only).
std::string PathOfLength(size_t length) {
  return "C:\\D\\" + fileops_test::LongName(length - 5);
}

// The longest path the machine can hold; longer ones cannot be laid out.
constexpr size_t kLongestLaidOut = 259;

struct ListKind {
  const char* name;
  // The control file with value (as written, quotes included) under test.
  std::string (*ini)(const std::string& value);
  void (*run)(const char* controlPath, NotDone* notDone);
  // Lays out what the list may act on at path, and tells afterwards
  // whether it did.
  void (*layOut)(const std::string& path);
  bool (*actedOn)(const std::string& path);
};

void AddNamedFile(const std::string& path) { fake::AddFile(path, path); }
bool Gone(const std::string& path) { return !fake::Exists(path); }

const ListKind kKinds[] = {
    {"[delete]", [](const std::string& v) { return "[delete]\n1=" + v + "\n"; },
     RunDeleteList, AddNamedFile, Gone},
    {"[multdel]",
     [](const std::string& v) { return "[multdel]\n1=" + v + "\n"; },
     RunMultiDeleteList, AddNamedFile, Gone},
    {"[deltree]",
     [](const std::string& v) { return "[deltree]\n1=" + v + "\n"; },
     RunDeltreeList, [](const std::string& path) { fake::AddDir(path); },
     Gone},
    {"[copy] FROM",
     [](const std::string& v) {
       return "[copy]\nFROM1=" + v + "\nTO1=C:\\OUT.TXT\n";
     },
     RunCopyList, AddNamedFile,
     [](const std::string& path) { return fake::ReadFile("C:\\OUT.TXT") == path; }},
    {"[copy] TO",
     [](const std::string& v) {
       return "[copy]\nFROM1=C:\\SOURCE.TXT\nTO1=" + v + "\n";
     },
     RunCopyList, AddNamedFile,
     [](const std::string& path) { return fake::ReadFile(path) == "source"; }},
};

TEST(FileListValues, OverLongValuesNameNothingQuotedOrNot) {
  for (const ListKind& kind : kKinds) {
    for (size_t length : {254u, 255u, 256u, 257u, 1000u}) {
      for (const char* quote : {"", "\"", "'"}) {
        std::string value = PathOfLength(length);
        std::string row = std::string(kind.name) + ", " +
                          std::to_string(length) + " characters" +
                          (*quote ? std::string(", in ") + quote : "");
        fake::Reset();
        WriteControlFile(kControl, kind.ini(quote + value + quote));
        fake::AddFile("C:\\SOURCE.TXT", "source");
        // The value whole, and the forms a reader could cut it to.
        std::set<std::string> cuts;
        for (size_t cut : {length - 2, length - 1, size_t{255}, size_t{254}}) {
          if (cut < length && cut <= kLongestLaidOut) {
            cuts.insert(value.substr(0, cut));
          }
        }
        if (length <= kLongestLaidOut) kind.layOut(value);
        for (const std::string& path : cuts) kind.layOut(path);

        kind.run(kControl, ScratchRecord());

        if (length <= kLongestLaidOut) {
          EXPECT_EQ(kind.actedOn(value), length <= 255) << row << ": whole";
        }
        for (const std::string& path : cuts) {
          EXPECT_FALSE(kind.actedOn(path))
              << row << ": acted on the first " << path.size();
        }
        EXPECT_FALSE(fake::Exists("C:\\WINDOWS\\WININIT.INI")) << row;
      }
    }
  }
}

}  // namespace
