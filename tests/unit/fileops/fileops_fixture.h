// Shared set-up for the file list tests: a fresh fake machine with the
// control file in C:\DISK, files described by short specs, and the checks
// every test wants (no search left open, the heap given back).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/unit/support/test_support.h"

namespace fileops_test {

inline const char* kControl = "C:\\DISK\\SELDUNAX.INI";

// One file or directory to create. A path ending in "\" is a directory,
// a directory link to linkTo when that is set.
struct Item {
  std::string path;
  uint32_t attributes = 0;
  bool inUse = false;
  std::string linkTo = {};
};

inline void Create(const std::vector<Item>& items) {
  for (const Item& item : items) {
    if (!item.path.empty() && item.path.back() == '\\') {
      std::string dir = item.path.substr(0, item.path.size() - 1);
      if (item.linkTo.empty()) {
        fake::AddDir(dir);
      } else {
        fake::AddDirLink(dir, item.linkTo);
      }
      if (item.attributes != 0) fake::SetAttributes(dir, item.attributes);
    } else {
      fake::AddFile(item.path, "data of " + item.path, item.attributes);
      if (item.inUse) fake::SetInUse(item.path, true);
    }
  }
}

// Paths of the Items (files and directories) that still exist.
inline std::vector<std::string> Surviving(const std::vector<Item>& items) {
  std::vector<std::string> out;
  for (const Item& item : items) {
    std::string path = item.path;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    if (fake::Exists(path)) out.push_back(item.path);
  }
  return out;
}

inline int CountCalls(const std::string& function,
                      const std::string& arg = "") {
  int count = 0;
  for (const fake::Call& call : fake::CallLog()) {
    if (function == call.function && (arg.empty() || arg == call.arg))
      ++count;
  }
  return count;
}

// The heap blocks handed out and given back must balance once an operation
// has returned (only valid when no Allocate was made to fail).
inline void ExpectHeapBalanced(const std::string& row) {
  EXPECT_EQ(CountCalls("Allocate"), CountCalls("Release")) << row;
}

// A name of the given length (letters only, so that it is a plain file
// name on every system).
inline std::string LongName(size_t length, char letter = 'N') {
  return std::string(length, letter);
}

}  // namespace fileops_test
