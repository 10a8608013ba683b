// Interrupted runs: the program is cut off right after its n-th platform
// call, or after any step inside one (the Windows 95 personality copies and
// replaces files in visible steps), for every n of a clean run, on both
// personalities of the machine. At every cut the machine must be sound
// (CheckSound: no start-up file or WININIT.INI missing or cut, no user file
// gone, no CONFIG.SYS line loading a missing or partial EMM386.EXE, no copy's
// source gone before its copy was made), and stay so through a restart.
// Then the user starts the program again on what was left, both at once
// ("killed") and after a restart that carries out WININIT.INI ("power
// cut"), and the machine must end, once restarted, as one uninterrupted run
// leaves it, but for a file set aside for good (CompareRestarted), which
// the sweep counts.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "platform/fake/fake_machine.h"
#include "tests/unit/reliability/machine_state.h"

namespace {

struct InterruptRow {
  const char* name;
  const char* startDir;     // where the user starts the program
  const char* commandText;  // what follows the program's name
  fake::Personality personality;
};

const InterruptRow kRows[] = {
    {"FullUninstallNt", "C:\\DISK", "SELDUNAX.INI", fake::Personality::Nt},
    {"RelaunchNt", "C:\\VANTORIS", "SELDUNAX.INI", fake::Personality::Nt},
    {"PostInstallNt", "C:\\VANTORIS", "SELDUNAX.INI /POSTw95",
     fake::Personality::Nt},
    {"FullUninstall95", "C:\\DISK", "SELDUNAX.INI",
     fake::Personality::Windows95},
    {"Relaunch95", "C:\\VANTORIS", "SELDUNAX.INI",
     fake::Personality::Windows95},
    {"PostInstall95", "C:\\VANTORIS", "SELDUNAX.INI /POSTw95",
     fake::Personality::Windows95},
};

// gtest names a failing row by its name, not by its bytes.
void PrintTo(const InterruptRow& row, std::ostream* os) { *os << row.name; }

// The machine as the row starts it, in the row's personality.
void Build(const InterruptRow& row) {
  BuildCardMachine(row.startDir);
  fake::SetPersonality(row.personality);
}

// Puts back the machine a cut left, as the next start of the program finds
// it: after a restart (power cut) or without one (killed).
void Reopen(const InterruptRow& row, const std::shared_ptr<fake::State>& cut,
            bool powerCut) {
  fake::Reset();
  fake::Restore(cut);
  fake::SetPersonality(row.personality);
  if (powerCut) fake::Restart();
}

class InterruptSweep : public ::testing::TestWithParam<InterruptRow> {};

TEST_P(InterruptSweep, EveryCutLeavesASoundMachineThatARerunFinishes) {
  const InterruptRow& row = GetParam();
  auto started = std::chrono::steady_clock::now();

  Build(row);
  const MachinePicture original = TakePicture();
  const long base = fake::CallCount();
  RunProgram(row.commandText);
  const long total = fake::CallCount() - base;
  const SweepBaseline baseline = TakeBaseline(original);
  ASSERT_EQ(OpenHandles(), "");

  int runs = 0, breaks = 0, setAside = 0;
  std::string reports;
  for (long n = 1; n <= total; ++n) {
    Build(row);
    const long cutAt = fake::CallCount() + n;
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

    Reopen(row, cut, false);
    std::string problems = CheckSound(baseline, TakePicture(), false);
    problems += CheckSound(baseline, PictureAfterRestart(), true);
    for (bool powerCut : {false, true}) {
      Reopen(row, cut, powerCut);
      ProgramRun again = RunAgain(row.startDir, row.commandText);
      ++runs;
      MachinePicture after = PictureAfterRestart();
      std::string rerun = CompareRestarted(baseline.cleanRestarted, after);
      const int kept = KeptAsideFiles(after);
      setAside += kept > 0;
      if (kept > 1) rerun += "  more than one file set aside for good\n";
      if (again.exitCode != 0) {
        rerun += "  exit code " + std::to_string(again.exitCode) + "\n";
      }
      if (!OpenHandles().empty()) rerun += "  left open: " + OpenHandles() + "\n";
      if (!rerun.empty()) {
        problems += std::string("  the re-run ") +
                    (powerCut ? "after a power cut" : "at once") + ":\n" + rerun;
      }
    }
    if (!problems.empty()) {
      if (++breaks <= 3) {
        reports += "cut after call " + std::to_string(n) + " of " +
                   std::to_string(total) + " (" + lastCall + "):\n" + problems;
      }
    }
  }
  double seconds = std::chrono::duration<double>(
                       std::chrono::steady_clock::now() - started).count();
  std::printf("[ sweep    ] %s: %ld cuts, %d re-runs, %d breaks, %d set a "
              "file aside for good, %.2f s\n",
              row.name, total, runs, breaks, setAside, seconds);
  EXPECT_EQ(breaks, 0) << reports;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, InterruptSweep, ::testing::ValuesIn(kRows),
    [](const ::testing::TestParamInfo<InterruptRow>& info) {
      return std::string(info.param.name);
    });

}  // namespace
