// Tree removal: depth first, dot-named directories left alone, the first
// failed removal ends the work in its directory and keeps its ancestors.
#include "fileops/file_lists.h"
#include "tests/unit/fileops/fileops_fixture.h"
#include "tests/unit/support/scratch_record.h"

namespace {

using fileops_test::CountCalls;
using fileops_test::Create;
using fileops_test::Item;
using fileops_test::kControl;
using fileops_test::Surviving;

enum class Call { Tree, Contents, List };

// C:\ and 240 letters: 243 characters, so "\A.TXT" joins to 249 and
// "\LONGERNAME.TXT" to 258.
const std::string kDeep = "C:\\" + fileops_test::LongName(240, 'D');
// C:\V\ and 248 letters: 253 characters, too long for "\*.*".
const std::string kUnlistable = "C:\\V\\" + fileops_test::LongName(248, 'E');

struct TreeRow {
  const char* name;
  Call call;
  std::string arg;  // the directory, or the control file text for List
  std::vector<Item> files;
  std::vector<std::string> stay;  // of files, what must still exist
  int finds;                      // FindFirst calls, -1 unchecked
  int noted = -1;  // steps noted as not done, -1 unchecked
  std::vector<std::string> kept = {};  // files kept for an earlier step
};

std::vector<TreeRow> Rows() {
  return {
      {"nested tree goes whole", Call::Tree, "C:\\V",
       {{"C:\\V\\A.TXT"}, {"C:\\V\\SUB\\B.TXT"}, {"C:\\V\\SUB\\DEEP\\C.TXT"},
        {"C:\\V\\Z.TXT"}, {"C:\\KEEP.TXT"}},
       {"C:\\KEEP.TXT"},
       3},
      {"dot-named directory blocks its parents and later entries", Call::Tree,
       "C:\\V",
       {{"C:\\V\\A.TXT"}, {"C:\\V\\SUB\\B.TXT"}, {"C:\\V\\SUB\\.GIT\\X.TXT"},
        {"C:\\V\\SUB\\C.TXT"}, {"C:\\V\\LATER.TXT"}},
       {"C:\\V\\SUB\\.GIT\\X.TXT", "C:\\V\\LATER.TXT"},
       2, 1},
      {"a kept file stays with its directories, the rest goes", Call::Tree,
       "C:\\V",
       {{"C:\\V\\A.TXT"}, {"C:\\V\\SUB\\KEPT.TXT"}, {"C:\\V\\SUB\\B.TXT"},
        {"C:\\V\\Z.TXT"}, {"C:\\V\\SUB\\"}},
       {"C:\\V\\SUB\\KEPT.TXT", "C:\\V\\SUB\\"},
       2, 0, {"c:\\v\\sub\\kept.txt"}},
      {"dot-named directory at the top keeps the top only", Call::Tree, "C:\\V",
       {{"C:\\V\\.CFG\\"}, {"C:\\V\\A.TXT"}, {"C:\\V\\SUB\\B.TXT"}},
       {"C:\\V\\.CFG\\"},
       2},
      {"read-only file stops its directory and keeps the ancestors",
       Call::Tree, "C:\\V",
       {{"C:\\V\\A.TXT"}, {"C:\\V\\SUB\\RO.TXT", plat::kAttrReadOnly},
        {"C:\\V\\SUB\\AFTER.TXT"}, {"C:\\V\\Z.TXT"}},
       {"C:\\V\\SUB\\RO.TXT", "C:\\V\\SUB\\AFTER.TXT", "C:\\V\\Z.TXT"},
       2, 1},
      {"file in use stops at once", Call::Tree, "C:\\V",
       {{"C:\\V\\BUSY.TXT", 0, true}, {"C:\\V\\B.TXT"}},
       {"C:\\V\\BUSY.TXT", "C:\\V\\B.TXT"},
       1, 1},
      {"missing directory changes nothing", Call::Tree, "C:\\NOPE",
       {{"C:\\KEEP.TXT"}}, {"C:\\KEEP.TXT"}, 1, 0},
      {"an empty name is not the current drive's root", Call::Tree, "",
       {{"C:\\KEEP.TXT"}}, {"C:\\KEEP.TXT"}, 0},
      {"a file is no directory", Call::Tree, "C:\\V.TXT",
       {{"C:\\V.TXT"}}, {"C:\\V.TXT"}, 1},
      {"files beginning with a dot are deleted", Call::Tree, "C:\\V",
       {{"C:\\V\\.HIDDEN"}, {"C:\\V\\SUB\\.RC"}}, {}, 2},
      {"over-long entry path counts as a failed removal", Call::Tree, kDeep,
       {{kDeep + "\\A.TXT"}, {kDeep + "\\LONGERNAME.TXT"}, {kDeep + "\\B.TXT"}},
       {kDeep + "\\LONGERNAME.TXT", kDeep + "\\B.TXT"},
       1},
      {"empty directory too long to search is still removed", Call::Tree,
       "C:\\V", {{kUnlistable + "\\"}}, {}, 1},
      {"non-empty directory too long to search stays", Call::Tree, "C:\\V",
       {{kUnlistable + "\\X"}, {"C:\\V\\LATER.TXT"}},
       {kUnlistable + "\\X", "C:\\V\\LATER.TXT"},
       1},
      {"a directory link stays, and so does its directory", Call::Tree,
       "C:\\V",
       {{"C:\\V\\A.TXT"}, {"C:\\V\\LINK\\", 0, false, "C:\\OUT"},
        {"C:\\V\\Z.TXT"}, {"C:\\OUT\\KEEP.TXT"}, {"C:\\OUT\\SUB\\KEEP.TXT"}},
       {"C:\\V\\LINK\\", "C:\\V\\Z.TXT", "C:\\OUT\\KEEP.TXT",
        "C:\\OUT\\SUB\\KEEP.TXT"},
       1},
      {"a link further down keeps every directory above it", Call::Tree,
       "C:\\V",
       {{"C:\\V\\A.TXT"}, {"C:\\V\\SUB\\ELINK\\", 0, false, "C:\\EMPTY"},
        {"C:\\V\\SUB\\B.TXT"}, {"C:\\V\\Z.TXT"}, {"C:\\EMPTY\\"}},
       {"C:\\V\\SUB\\ELINK\\", "C:\\V\\SUB\\B.TXT", "C:\\V\\Z.TXT",
        "C:\\EMPTY\\"},
       2},
      {"a link into the tree itself", Call::Tree, "C:\\V",
       {{"C:\\V\\LINK\\", 0, false, "C:\\V\\DATA"}, {"C:\\V\\DATA\\A.TXT"}},
       {"C:\\V\\LINK\\", "C:\\V\\DATA\\A.TXT"},
       1},
      {"the named directory is a link: it stays", Call::Tree, "C:\\V",
       {{"C:\\V\\", 0, false, "C:\\OUT"}, {"C:\\OUT\\KEEP.TXT"}},
       {"C:\\V\\", "C:\\OUT\\KEEP.TXT"},
       0},
      {"contents of a link: nothing changes", Call::Contents, "C:\\V",
       {{"C:\\V\\", 0, false, "C:\\OUT"}, {"C:\\OUT\\KEEP.TXT"}},
       {"C:\\V\\", "C:\\OUT\\KEEP.TXT"},
       0},
      {"contents go, the directory stays", Call::Contents, "C:\\V",
       {{"C:\\V\\A.TXT"}, {"C:\\V\\SUB\\B.TXT"}, {"C:\\V\\"}},
       {"C:\\V\\"},
       2},
      {"deltree list: macros, missing and over-long entries passed over",
       Call::List,
       "[deltree]\n1=%WINDIR%\\VAN\n2=C:\\NOPE\n3=C:\\" +
           fileops_test::LongName(260) + "\n4=C:\\W\n6=C:\\X\n",
       {{"C:\\WINDOWS\\VAN\\A.TXT"}, {"C:\\W\\SUB\\B.TXT"}, {"C:\\X\\C.TXT"}},
       {"C:\\X\\C.TXT"},
       4},
  };
}

void RunRow(Call call, const std::string& arg, NotDone* notDone) {
  switch (call) {
    case Call::Tree:
      DeleteTree(arg.c_str(), notDone);
      break;
    case Call::Contents:
      DeleteTreeContents(arg.c_str(), notDone);
      break;
    case Call::List:
      WriteControlFile(kControl, arg);
      RunDeltreeList(kControl, notDone);
      break;
  }
}

// What stops the work is noted once, not again for the directories above.
TEST(DeleteTree, RemovesDepthFirstUpToTheFirstFailure) {
  for (const TreeRow& row : Rows()) {
    fake::Reset();
    Create(row.files);
    NotDone notDone{};
    for (const std::string& path : row.kept) KeepFile(&notDone, path.c_str());
    RunRow(row.call, row.arg, &notDone);
    EXPECT_EQ(Surviving(row.files), row.stay) << row.name;
    if (row.noted >= 0) {
      EXPECT_EQ(notDone.count, row.noted) << row.name;
    }
    if (row.finds >= 0) {
      EXPECT_EQ(CountCalls("FindFirst"), row.finds) << row.name;
    }
    EXPECT_EQ(fake::OpenFinds(), 0) << row.name;
    fileops_test::ExpectHeapBalanced(row.name);
  }
}

// Removals in the log, in order: "F path" for files, "D path" directories.
std::vector<std::string> Removals() {
  std::vector<std::string> out;
  for (const fake::Call& call : fake::CallLog()) {
    std::string function = call.function;
    if (function == "RemoveListedFile") out.push_back("F " + call.arg);
    if (function == "RemoveDir") out.push_back("D " + call.arg);
  }
  return out;
}

TEST(DeleteTree, OrderIsDepthFirstInSearchOrder) {
  struct Row {
    const char* name;
    std::vector<Item> files;
    std::vector<std::string> removals;
  };
  const std::vector<Row> rows = {
      {"each subdirectory after its contents, the top last",
       {{"C:\\V\\A.TXT"}, {"C:\\V\\SUB\\B.TXT"}, {"C:\\V\\SUB\\DEEP\\C.TXT"},
        {"C:\\V\\Z.TXT"}},
       {"F C:\\V\\A.TXT", "F C:\\V\\SUB\\B.TXT", "F C:\\V\\SUB\\DEEP\\C.TXT",
        "D C:\\V\\SUB\\DEEP", "D C:\\V\\SUB", "F C:\\V\\Z.TXT", "D C:\\V"}},
      {"a failed subdirectory removal ends the level above",
       {{"C:\\V\\SUB\\.GIT\\"}, {"C:\\V\\SUB\\B.TXT"}, {"C:\\V\\Z.TXT"}},
       {"F C:\\V\\SUB\\B.TXT", "D C:\\V\\SUB", "D C:\\V"}},
      {"a directory link is tried as one entry, never entered, and ends its "
       "directory",
       {{"C:\\V\\A.TXT"}, {"C:\\V\\LINK\\", 0, false, "C:\\OUT"},
        {"C:\\OUT\\X.TXT"}, {"C:\\V\\Z.TXT"}},
       {"F C:\\V\\A.TXT", "D C:\\V\\LINK", "D C:\\V"}},
  };
  for (const Row& row : rows) {
    fake::Reset();
    Create(row.files);
    DeleteTree("C:\\V", ScratchRecord());
    EXPECT_EQ(Removals(), row.removals) << row.name;
  }
}

// Each directory is searched once, however many files it holds.
TEST(DeleteTree, SearchesGrowWithDirectoriesNotFiles) {
  struct Row {
    int directories;
    int filesEach;
  };
  const std::vector<Row> rows = {{1, 1}, {10, 50}, {5, 400}};
  for (const Row& row : rows) {
    fake::Reset();
    std::vector<Item> files;
    for (int d = 0; d < row.directories; ++d) {
      for (int f = 0; f < row.filesEach; ++f) {
        files.push_back({"C:\\V\\DIR" + std::to_string(d) + "\\FILE" +
                         std::to_string(f) + ".DAT"});
      }
    }
    Create(files);
    DeleteTree("C:\\V", ScratchRecord());
    std::string name = std::to_string(row.directories) + "x" +
                       std::to_string(row.filesEach);
    EXPECT_FALSE(fake::Exists("C:\\V")) << name;
    EXPECT_EQ(CountCalls("FindFirst"), row.directories + 1) << name;
    EXPECT_EQ(CountCalls("FindNext"),
              row.directories * (row.filesEach + 2) + row.directories + 2)
        << name << ": every entry read once";
    fileops_test::ExpectHeapBalanced(name);
  }
}

}  // namespace
