// fileops_calls: platform calls per removed entry of the wildcard list and
// the tree removal, counted on the in-memory machine.
//
// Unlike a timing, these counts are the same on every machine, so they can
// be checked on every run. Each list removes generated work of 1,000, 10,000
// and 100,000 files; the calls are split by kind:
//   listing      FindFirst, FindNext, FindEnd
//   attributes   FileAttributes, and the read that RemoveFile and RemoveDir
//                make before removing (the Win32 layer asks the system for
//                the attributes first)
//   delete       RemoveFile, RemoveListedFile
//   dir removal  RemoveDir
//   other        everything else (control file reads, heap)
// A removed entry is a file or directory that the list removed.
//
// Goals (exit code 1 when one is missed):
//   - per removed entry at most 2 calls of the four kinds (one removal and
//     its entry in a listing), besides a fixed cost of at most 5 calls per
//     directory searched: its "." and "..", the FindNext that finds the end,
//     FindEnd, and the attribute read before the directory's removal;
//   - linear: the calls per removed entry at 10,000 and 100,000 files stay
//     within 0.5 % of the figure at 1,000.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fileops/file_lists.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/support/scratch_record.h"

namespace {

constexpr const char* kControl = "C:\\DISK\\SELDUNAX.INI";
constexpr int kFilesPerDirectory = 100;  // as in the Wine benchmark
constexpr long kFixedPerDirectory = 5;
constexpr double kLinearTolerance = 0.005;

struct Tally {
  long listing = 0;
  long attributes = 0;
  long deletes = 0;
  long dirRemovals = 0;
  long other = 0;

  long FileSystemCalls() const {
    return listing + attributes + deletes + dirRemovals;
  }
};

bool Is(const char* function, const char* name) {
  return std::strcmp(function, name) == 0;
}

Tally CountCalls() {
  Tally tally;
  for (const fake::Call& call : fake::CallLog()) {
    const char* f = call.function;
    if (Is(f, "FindFirst") || Is(f, "FindNext") || Is(f, "FindEnd")) {
      ++tally.listing;
    } else if (Is(f, "FileAttributes")) {
      ++tally.attributes;
    } else if (Is(f, "RemoveFile")) {
      ++tally.attributes;
      ++tally.deletes;
    } else if (Is(f, "RemoveListedFile")) {
      ++tally.deletes;
    } else if (Is(f, "RemoveDir")) {
      ++tally.attributes;
      ++tally.dirRemovals;
    } else {
      ++tally.other;
    }
  }
  return tally;
}

struct Work {
  const char* list = "";
  long files = 0;
  long removedEntries = 0;      // files and directories the list removes
  long searchedDirectories = 0;
  bool done = false;            // the list removed what it should, no more
  Tally calls;
};

std::string FileName(const char* prefix, long n, const char* extension) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%06ld.%s", prefix, n, extension);
  return name;
}

// C:\FLAT holds the given number of matches of "*.TMP" and a tenth as many
// ".KEP" files that the pattern leaves alone.
Work RunWildcardList(long files) {
  fake::Reset();
  fake::AddFile(kControl, "[multdel]\r\n1=C:\\FLAT\\*.TMP\r\n");
  for (long i = 0; i < files; ++i) {
    fake::AddFile("C:\\FLAT\\" + FileName("F", i, "TMP"), "data");
  }
  for (long i = 0; i < files / 10; ++i) {
    fake::AddFile("C:\\FLAT\\" + FileName("K", i, "KEP"), "keep");
  }
  Work work;
  work.list = "wildcard list";
  work.files = files;
  work.removedEntries = files;
  work.searchedDirectories = 1;
  RunMultiDeleteList(kControl, ScratchRecord());
  work.calls = CountCalls();
  // What stays: the directory and the .KEP files.
  work.done = fake::ListTree("C:\\FLAT").size() ==
                  static_cast<size_t>(files / 10 + 1) &&
              fake::OpenFinds() == 0;
  return work;
}

// C:\TREE holds directories of kFilesPerDirectory files each.
Work RunTreeRemoval(long files) {
  fake::Reset();
  fake::AddFile(kControl, "[deltree]\r\n1=C:\\TREE\r\n");
  long directories = files / kFilesPerDirectory;
  for (long d = 0; d < directories; ++d) {
    std::string dir = "C:\\TREE\\" + FileName("D", d, "DIR") + "\\";
    for (long i = 0; i < kFilesPerDirectory; ++i) {
      fake::AddFile(dir + FileName("F", i, "DAT"), "data");
    }
  }
  Work work;
  work.list = "tree removal";
  work.files = files;
  work.removedEntries = files + directories + 1;
  work.searchedDirectories = directories + 1;
  RunDeltreeList(kControl, ScratchRecord());
  work.calls = CountCalls();
  work.done = !fake::Exists("C:\\TREE") && fake::Exists(kControl) &&
              fake::OpenFinds() == 0;
  return work;
}

double PerEntry(long calls, const Work& work) {
  return static_cast<double>(calls) / static_cast<double>(work.removedEntries);
}

void PrintRow(const Work& w) {
  const Tally& c = w.calls;
  std::printf("%-14s %7ld %8ld %8.3f %10.3f %7.3f %11.3f %7.3f %7ld\n",
              w.list, w.files, w.removedEntries, PerEntry(c.listing, w),
              PerEntry(c.attributes, w), PerEntry(c.deletes, w),
              PerEntry(c.dirRemovals, w), PerEntry(c.FileSystemCalls(), w),
              c.other);
}

// The goals of the header comment; prints each miss, returns their count.
int CheckGoals(const std::vector<Work>& works) {
  int misses = 0;
  const Work* first = nullptr;
  for (const Work& w : works) {
    if (!first || std::strcmp(first->list, w.list) != 0) first = &w;
    if (!w.done) {
      std::printf("MISS %s, %ld files: the work was not done as asked\n",
                  w.list, w.files);
      ++misses;
    }
    long allowed =
        2 * w.removedEntries + kFixedPerDirectory * w.searchedDirectories;
    if (w.calls.FileSystemCalls() > allowed) {
      std::printf("MISS %s, %ld files: %ld calls, more than 2 per removed "
                  "entry and %ld per directory (%ld)\n",
                  w.list, w.files, w.calls.FileSystemCalls(),
                  kFixedPerDirectory, allowed);
      ++misses;
    }
    double base = PerEntry(first->calls.FileSystemCalls(), *first);
    double here = PerEntry(w.calls.FileSystemCalls(), w);
    if (here > base * (1 + kLinearTolerance) ||
        here < base * (1 - kLinearTolerance)) {
      std::printf("MISS %s, %ld files: %.3f calls per removed entry, %.3f "
                  "at %ld files: not linear\n",
                  w.list, w.files, here, base, first->files);
      ++misses;
    }
  }
  return misses;
}

}  // namespace

int main() {
  const long sizes[] = {1000, 10000, 100000};
  std::vector<Work> works;
  for (long files : sizes) works.push_back(RunWildcardList(files));
  for (long files : sizes) works.push_back(RunTreeRemoval(files));

  std::printf("Platform calls per removed entry (in-memory machine; tree "
              "directories of %d files)\n",
              kFilesPerDirectory);
  std::printf("%-14s %7s %8s %8s %10s %7s %11s %7s %7s\n", "list", "files",
              "removed", "listing", "attributes", "delete", "dir removal",
              "total", "other");
  for (const Work& w : works) PrintRow(w);
  int misses = CheckGoals(works);
  std::printf("%s: at most 2 calls per removed entry and %ld per directory "
              "searched, the same at every size\n",
              misses == 0 ? "goal met" : "GOAL MISSED", kFixedPerDirectory);
  return misses == 0 ? 0 : 1;
}
