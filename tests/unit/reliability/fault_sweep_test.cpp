// Fault injection: the whole program runs on a realistic machine again and
// again, the n-th platform call failing in run n, for every call the clean
// run makes. After each run: the run ended as the program promises (the
// closing message, or the launch message the failing check calls for, or a
// silent stop when the failing call was the box or the hand-over itself),
// no handle is left open, and the machine holds nothing half done: every
// file is as it was or as the clean run leaves it, WININIT.INI holds only
// entries the program may write, and no registry key went that a clean run
// keeps.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "control/builtin_messages.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/reliability/machine_state.h"

namespace {

const char kClosing[] = "Done.\nPlease restart your PC.";

struct SweepRow {
  const char* name;
  const char* startDir;     // where the user starts the program
  const char* commandText;  // what follows the program's name
  bool handsOver;           // the clean run goes through the relaunch
};

const SweepRow kSweeps[] = {
    {"FullUninstall", "C:\\DISK", "SELDUNAX.INI", false},
    {"Relaunch", "C:\\VANTORIS", "SELDUNAX.INI", true},
    {"PostInstall", "C:\\VANTORIS", "SELDUNAX.INI /POSTw95", false},
};

bool IsLaunchMessage(const std::string& text) {
  return text == MSG_NO_CONTROL_FILE || text == MSG_NO_DEVEJECT ||
         text == MSG_COPY_EXE_FAILED || text == MSG_COPY_INI_FAILED ||
         text == MSG_COPY_DEVEJECT_FAILED || text == MSG_SWITCH_TEMP_FAILED;
}

// What the run showed and returned, judged against the call that failed.
std::string CheckOutcome(const ProgramRun& run, const fake::Call& failed,
                         bool beforeConfirmation) {
  const std::vector<fake::Box>& boxes = fake::Boxes();
  std::string failedName = failed.function;
  bool silentAllowed = failedName == "ShowMessage" || failedName == "StartAndExit";
  if (!run.fault.empty()) return run.fault;
  if (boxes.empty()) {
    if (silentAllowed && run.exitCode == 0) return "";
    return "no message at all, exit code " + std::to_string(run.exitCode);
  }
  const std::string& last = boxes.back().text;
  if (run.exitCode == 1 || run.exitCode == 2) {
    if (!beforeConfirmation) return "launch exit code after the confirmation";
    if (boxes.size() != 1 || !IsLaunchMessage(last)) {
      return "exit code " + std::to_string(run.exitCode) +
             " without its one launch message: " + last;
    }
    return "";
  }
  if (run.exitCode != 0) return "exit code " + std::to_string(run.exitCode);
  // A failed read of one of the closing text's keys ends the text there.
  std::string closing = kClosing;
  if (last == MSG_REBOOT_NOW || closing.compare(0, last.size(), last) == 0) {
    return "";
  }
  // The closing box itself failed: the confirmation is the last box shown.
  if (failedName == "ShowMessage" && boxes.back().style == 4) return "";
  return "the run ended without its closing message; last box: " + last;
}

// gtest names a failing row by its name, not by its bytes.
void PrintTo(const SweepRow& row, std::ostream* os) { *os << row.name; }

class FaultSweep : public ::testing::TestWithParam<SweepRow> {};

TEST_P(FaultSweep, EveryFailingCallLeavesASoundMachine) {
  const SweepRow& row = GetParam();
  auto started = std::chrono::steady_clock::now();

  BuildCardMachine(row.startDir);
  MachinePicture original = TakePicture();
  long base = fake::CallCount();
  ProgramRun cleanRun = RunProgram(row.commandText);
  std::vector<fake::Call> calls(fake::CallLog().begin() + base,
                                fake::CallLog().end());
  MachinePicture clean = TakePicture();
  ASSERT_EQ(cleanRun.exitCode, 0);
  ASSERT_EQ(cleanRun.handedOver, row.handsOver);
  ASSERT_FALSE(fake::Boxes().empty());
  ASSERT_EQ(fake::Boxes().back().text, kClosing);
  ASSERT_EQ(OpenHandles(), "");
  std::set<std::string> allowedWininit = AllowedWininitLines(clean);

  size_t confirmation = 0;
  while (confirmation < calls.size() &&
         std::string(calls[confirmation].function) != "ShowMessage") {
    ++confirmation;
  }

  int failures = 0;
  for (size_t n = 1; n <= calls.size() && failures < 5; ++n) {
    BuildCardMachine(row.startDir);
    long failAt = fake::CallCount() + static_cast<long>(n);
    fake::FailWhen([failAt](const fake::Call& c) { return c.index == failAt; });
    ProgramRun run = RunProgram(row.commandText);

    const fake::Call& failed = calls[n - 1];
    std::string problems = CheckOutcome(run, failed, n - 1 <= confirmation);
    std::string handles = OpenHandles();
    if (!handles.empty()) problems += "\n  left open: " + handles;
    problems += CompareWithRuns(original, clean, TakePicture(), allowedWininit);
    if (!problems.empty()) {
      ++failures;
      ADD_FAILURE() << "call " << n << " of " << calls.size() << " failing ("
                    << failed.function << " " << failed.arg << "):\n"
                    << problems;
    }
  }
  double seconds = std::chrono::duration<double>(
                       std::chrono::steady_clock::now() - started).count();
  std::printf("[ sweep    ] %s: %zu fault points in %.2f s\n", row.name,
              calls.size(), seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FaultSweep, ::testing::ValuesIn(kSweeps),
    [](const ::testing::TestParamInfo<SweepRow>& info) {
      return std::string(info.param.name);
    });

}  // namespace
