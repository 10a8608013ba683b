// A failure at any step of writing a file back leaves the file as it was
// and no temporary file behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "tests/unit/support/card_machine.h"
#include "tests/unit/textfile/textfile_helpers.h"
#include "textfile/batch_file.h"
#include "textfile/config_sys.h"
#include "textfile/line_file.h"
#include "textfile/wininit.h"
#include "tests/unit/support/scratch_record.h"

namespace {

// Enough text for several blocks of output.
std::string BigFile(const std::string& firstLine) {
  std::string text = firstLine + "\r\n";
  for (int i = 0; i < 60; ++i) {
    text += "REM filler line " + std::to_string(i) + " " + std::string(40, '-') +
            "\r\n";
  }
  return text;
}

int savedResult;

// The file as a run finds it, with the EMM386.EXE that FixConfigSys needs,
// hidden and system so that keeping the attributes is one more step.
void SetUpMachine(const char* file, const std::string& content) {
  fake::Reset();
  fake::AddFile("C:\\WINDOWS\\EMM386.EXE", "MZ");
  fake::AddFile(file, content, plat::kAttrHidden | plat::kAttrSystem);
}

struct Scenario {
  const char* name;
  const char* file;
  std::string content;
  void (*run)();
  // run() stores in savedResult 0 when the file was written, 1 when not.
  bool checkResult;
};

bool IsWriteStep(const std::string& function) {
  return function == "CreateNewFile" || function == "WriteBytes" ||
         function == "CloseFile" || function == "ChangeFileAttributes" ||
         function == "ReplaceFileWith";
}

// The calls worth failing, from a run that succeeds: every allocation, and
// every step from the creation of the temporary file on.
std::vector<fake::Call> FailurePoints(const Scenario& s) {
  SetUpMachine(s.file, s.content);
  s.run();
  EXPECT_NE(fake::ReadFile(s.file), s.content) << s.name << ": no edit";
  std::vector<fake::Call> points;
  bool writing = false;
  for (const fake::Call& call : fake::CallLog()) {
    std::string function = call.function;
    if (function == "CreateNewFile") writing = true;
    if (function == "Allocate" || (writing && IsWriteStep(function))) {
      points.push_back(call);
    }
  }
  return points;
}

TEST(WriteFailure, LeavesTheOriginalAndNoTemporaryFile) {
  const Scenario scenarios[] = {
      {"SaveTextLines", "C:\\AUTOEXEC.BAT", BigFile("") + "\r\n",
       [] {
         int count = 0;
         LineArray lines = LoadTextLines("C:\\AUTOEXEC.BAT", &count);
         savedResult = lines == nullptr ? 1 : SaveTextLines(lines, "C:\\AUTOEXEC.BAT", count);
         FreeTextLines(lines, count);
       },
       true},
      {"CleanBatchFile", "C:\\AUTOEXEC.BAT", BigFile("SET HALCYRENE=1"),
       [] { CleanBatchFile("C:\\AUTOEXEC.BAT", kControl, ScratchRecord()); }, false},
      {"FixConfigSys", "C:\\CONFIG.SYS", BigFile("DEVICE=C:\\DOS\\EMM386.EXE"),
       [] { FixConfigSys(ScratchRecord()); }, false},
      {"ScheduleDeleteOnReboot", "C:\\WINDOWS\\WININIT.INI", BigFile("[rename]"),
       [] {
         fake::AddFile("C:\\X.TMP", "x");
         savedResult = ScheduleDeleteOnReboot("C:\\X.TMP") ? 0 : 1;
       },
       true},
  };
  for (const Scenario& s : scenarios) {
    std::vector<fake::Call> points = FailurePoints(s);
    int writes = 0;
    for (const fake::Call& call : points) {
      writes += std::string(call.function) == "WriteBytes";
    }
    EXPECT_GE(writes, 3) << s.name;
    for (const fake::Call& point : points) {
      SCOPED_TRACE(std::string(s.name) + ": " + point.function + " (call " +
                   std::to_string(point.index) + ")");
      SetUpMachine(s.file, s.content);
      long failing = point.index;
      fake::FailWhen(
          [failing](const fake::Call& call) { return call.index == failing; });
      savedResult = -1;
      s.run();
      EXPECT_EQ(fake::ReadFile(s.file), s.content);
      EXPECT_EQ(fake::Attributes(s.file), plat::kAttrHidden | plat::kAttrSystem);
      EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
      EXPECT_EQ(fake::OpenFiles(), 0);
      if (s.checkResult) {
        EXPECT_EQ(savedResult, 1);
      }
    }
  }
}

}  // namespace

namespace {

const char kAutoexec[] = "C:\\AUTOEXEC.BAT";
const char kWininitPath[] = "C:\\WINDOWS\\WININIT.INI";

using Files = std::vector<std::pair<std::string, std::string>>;

// What an interrupted or earlier run left beside a start-up file: the next
// edit finds the file where it belongs and no file of the run's piled up,
// and never deletes what may be the only copy of the user's file.
TEST(WriteFailure, WhatAnInterruptedSaveLeftIsPutRight) {
  const std::string card = "SET HALCYRENE=1\r\nPATH=C:\\DOS\r\n";
  const std::string cleaned = "PATH=C:\\DOS\r\n";
  Files leftovers;  // every temporary name, each with a part of the edit
  for (const std::string& extension : {std::string("$$$"), std::string("$00")}) {
    leftovers.push_back({"C:\\AUTOEXEC." + extension, "PATH=C:"});
  }
  for (int n = 1; n < 100; ++n) {
    char name[32];
    snprintf(name, sizeof name, "C:\\AUTOEXEC.$%02d", n);
    leftovers.push_back({name, n % 2 ? "" : "PATH=C:\\DOS\r\n"});
  }
  struct Row {
    const char* name;
    Files before;
    void (*edit)();
    Files after;  // "<absent>" for a file that must be gone
  };
  const Row rows[] = {
      {"AUTOEXEC.BAT set aside by a cut: put back, then edited",
       {{"C:\\AUTOEXEC.BAT.~old", card}},
       [] { CleanBatchFile(kAutoexec, kControl, ScratchRecord()); },
       {{kAutoexec, cleaned}, {"C:\\AUTOEXEC.BAT.~old", "<absent>"}}},
      {"WININIT.INI set aside: another program's entry kept",
       {{"C:\\WINDOWS\\WININIT.INI.~old", "[rename]\r\nC:\\A.DLL=C:\\A.NEW\r\n"}},
       [] { ScheduleDeleteOnReboot("C:\\X.TMP"); },
       {{kWininitPath, "[rename]\r\nNUL=C:\\X.TMP\r\nC:\\A.DLL=C:\\A.NEW\r\n"},
        {"C:\\WINDOWS\\WININIT.INI.~old", "<absent>"}}},
      {"a new AUTOEXEC.BAT beside the set-aside original: the original kept",
       {{kAutoexec, card}, {"C:\\AUTOEXEC.BAT.~old", "ORIGINAL=1\r\n"}},
       [] { CleanBatchFile(kAutoexec, kControl, ScratchRecord()); },
       {{kAutoexec, cleaned},
        {"C:\\AUTOEXEC.BAT.~o1", "ORIGINAL=1\r\n"},
        {"C:\\AUTOEXEC.BAT.~old", "<absent>"}}},
      {"every temporary name taken by earlier runs: freed",
       leftovers, [] { CleanBatchFile(kAutoexec, kControl, ScratchRecord()); },
       {{kAutoexec, cleaned}}},
      {"a WININIT.INI that the restart carried out left its new one behind",
       {{"C:\\WINDOWS\\WININIT.BAK", "[rename]\r\nC:\\A.DLL=C:\\A.NEW\r\n"},
        {"C:\\WINDOWS\\WININIT.$$$",
         "[rename]\r\nNUL=C:\\X.TMP\r\nC:\\A.DLL=C:\\A.N"}},
       [] { ScheduleDeleteOnReboot("C:\\X.TMP"); },
       {{kWininitPath, "[rename]\r\nNUL=C:\\X.TMP\r\n"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    fake::SetPersonality(fake::Personality::Windows95);
    if (row.before.front().first != kAutoexec) fake::AddFile(kAutoexec, card);
    fake::AddFile("C:\\X.TMP", "in use");  // what WININIT.INI rows enter
    for (const auto& [path, data] : row.before) {
      fake::AddFile(path, data, plat::kAttrHidden | plat::kAttrSystem);
    }
    row.edit();
    for (const auto& [path, data] : row.after) {
      EXPECT_EQ(fake::Exists(path) ? fake::ReadFile(path) : "<absent>", data)
          << path;
    }
    EXPECT_EQ(TemporaryFiles(), std::vector<std::string>());
  }
}

}  // namespace
