// Interrupted runs: the program is cut off right after its n-th platform
// call (power lost, process killed), for every n of a clean run, and the
// user then starts it again the same way on what was left. The second run
// must bring the machine to the same state as one uninterrupted run; only
// WININIT.INI may differ, by entries written twice or entries for files
// that are already gone (both delete nothing more at the next start), and a
// temporary file that the cut-off save left stays as it was: no run can
// tell it from a file of the user's of the same name, so none touches it.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <cstdio>
#include <ostream>
#include <memory>
#include <string>

#include "platform/fake/fake_machine.h"
#include "tests/unit/reliability/machine_state.h"

namespace {

struct InterruptRow {
  const char* name;
  const char* startDir;     // where the user starts the program
  const char* commandText;  // what follows the program's name
};

const InterruptRow kRows[] = {
    {"FullUninstall", "C:\\DISK", "SELDUNAX.INI"},
    {"Relaunch", "C:\\VANTORIS", "SELDUNAX.INI"},
    {"PostInstall", "C:\\VANTORIS", "SELDUNAX.INI /POSTw95"},
};

// Temporary files a cut-off save leaves beside its target, with their
// pictures.
std::map<std::string, std::string> Leftovers(const MachinePicture& picture) {
  std::map<std::string, std::string> found;
  for (const auto& file : picture.files) {
    if (file.first.find('$') != std::string::npos) found.insert(file);
  }
  return found;
}

// Takes the leftovers out of the picture of the second run; reports each
// that the second run changed or removed.
std::string SetAsideLeftovers(const std::map<std::string, std::string>& left,
                              MachinePicture* after) {
  std::string report;
  for (const auto& file : left) {
    auto found = after->files.find(file.first);
    if (found == after->files.end() || found->second != file.second) {
      report += "  the second run changed the leftover " + file.first + "\n";
    }
    if (found != after->files.end()) after->files.erase(found);
  }
  return report;
}

// gtest names a failing row by its name, not by its bytes.
void PrintTo(const InterruptRow& row, std::ostream* os) { *os << row.name; }

class InterruptSweep : public ::testing::TestWithParam<InterruptRow> {};

TEST_P(InterruptSweep, ASecondRunFinishesWhatACutOffRunBegan) {
  const InterruptRow& row = GetParam();
  auto started = std::chrono::steady_clock::now();

  BuildCardMachine(row.startDir);
  long base = fake::CallCount();
  RunProgram(row.commandText);
  long total = fake::CallCount() - base;
  MachinePicture clean = TakePicture();
  ASSERT_EQ(OpenHandles(), "");

  int failures = 0;
  int leftBehind = 0;
  for (long n = 1; n <= total && failures < 5; ++n) {
    BuildCardMachine(row.startDir);
    long cutAt = fake::CallCount() + n;
    std::shared_ptr<fake::State> cut;
    std::string lastCall;
    fake::AfterEachCall([&](const fake::Call& c) {
      if (c.index == cutAt) {
        cut = fake::Snapshot();
        lastCall = std::string(c.function) + " " + c.arg;
      }
    });
    RunProgram(row.commandText);
    ASSERT_TRUE(cut) << "no call " << n;

    // The user starts the program again on what the cut-off run left,
    // from where that run was working: after a hand-over that is the
    // temporary directory with the copies (the install directory may be
    // half removed by then).
    fake::Reset();
    fake::Restore(cut);
    std::map<std::string, std::string> left = Leftovers(TakePicture());
    if (!left.empty()) ++leftBehind;
    ProgramRun again = RunProgram(row.commandText);

    MachinePicture after = TakePicture();
    std::string problems = SetAsideLeftovers(left, &after);
    problems += CompareFinalStates(clean, after);
    if (again.exitCode != 0) {
      problems += "  second run ended with " + std::to_string(again.exitCode) + "\n";
    }
    std::string handles = OpenHandles();
    if (!handles.empty()) problems += "  left open: " + handles + "\n";
    if (!problems.empty()) {
      ++failures;
      ADD_FAILURE() << "cut after call " << n << " of " << total << " ("
                    << lastCall << "):\n" << problems;
    }
  }
  double seconds = std::chrono::duration<double>(
                       std::chrono::steady_clock::now() - started).count();
  std::printf("[ sweep    ] %s: %ld interruption points in %.2f s, %d left "
              "a temporary file that the second run left alone\n",
              row.name, total, seconds, leftBehind);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, InterruptSweep, ::testing::ValuesIn(kRows),
    [](const ::testing::TestParamInfo<InterruptRow>& info) {
      return std::string(info.param.name);
    });

}  // namespace
