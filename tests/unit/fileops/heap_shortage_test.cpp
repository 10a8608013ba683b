// When the heap runs short while a directory is listed, the entries listed
// so far are acted on and a new search takes up the rest; when not even one
// entry can be listed, nothing is removed. Never an entry skipped or tried
// twice, never a search left open.
#include "fileops/file_lists.h"
#include "tests/unit/fileops/fileops_fixture.h"
#include "tests/unit/support/scratch_record.h"

namespace {

using fileops_test::CountCalls;
using fileops_test::Item;
using fileops_test::kControl;

struct Row {
  const char* name;
  bool tree;      // DeleteTree on C:\V, else [multdel] C:\V\*.TMP
  int failEvery;  // every n-th Allocate call fails (1 = all)
  bool allGone;
};

TEST(FileLists, HeapShortageNeverSkipsOrRepeats) {
  const std::vector<Row> rows = {
      {"tree, every growth refused: batches", true, 2, true},
      {"tree, no memory at all", true, 1, false},
      {"multdel, every growth refused: batches", false, 2, true},
      {"multdel, no memory at all", false, 1, false},
  };
  for (const Row& row : rows) {
    fake::Reset();
    // One flat directory, so that every listing starts with a granted block
    // and ends with a refused growth.
    std::vector<Item> files;
    for (int f = 0; f < 600; ++f)
      files.push_back({"C:\\V\\FILE" + std::to_string(f) + ".TMP"});
    fileops_test::Create(files);
    WriteControlFile(kControl, "[multdel]\n1=C:\\V\\*.TMP\n");
    int allocations = 0;
    int failEvery = row.failEvery;
    fake::FailWhen([&allocations, failEvery](const fake::Call& call) {
      return std::string(call.function) == "Allocate" &&
             ++allocations % failEvery == 0;
    });
    if (row.tree) {
      DeleteTree("C:\\V", ScratchRecord());
    } else {
      RunMultiDeleteList(kControl, ScratchRecord());
    }
    size_t left = fileops_test::Surviving(files).size();
    EXPECT_EQ(left, row.allGone ? 0u : files.size()) << row.name;
    if (row.allGone) {
      EXPECT_GT(CountCalls("FindFirst"), 1) << row.name;
    }
    EXPECT_EQ(fake::Exists("C:\\V"), !(row.tree && row.allGone)) << row.name;
    EXPECT_EQ(CountCalls("RemoveListedFile"), static_cast<int>(files.size() - left))
        << row.name << ": every deletion attempted once";
    EXPECT_EQ(fake::OpenFinds(), 0) << row.name;
  }
}

}  // namespace
