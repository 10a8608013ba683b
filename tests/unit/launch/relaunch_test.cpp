// Leaving the install directory: the three copies into TEMP, their
// reboot-time deletion, the failure steps and the hand-over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/builtin_messages.h"
#include "launch/entry.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/launch/launch_fixture.h"
#include "tests/unit/support/test_support.h"

namespace {

using RelaunchTest = LaunchTest;

const char kTemp[] = "C:\\WINDOWS\\TEMP\\";
const char kOwnTexts[] =
    "[FAILEDTOCOPY_SELDUNAX.EXE]\n1=No exe.\n"
    "[FAILEDTOCOPY_SELDUNAX.INI]\n1=No ini.\n"
    "[FAILEDTOCOPY_DEVEJECT.EXE]\n1=No tool.\n"
    "[CDNTSWITCHTOTEMP]\n1=No temp.\n"
    "[AREYOUSURE]\n1=From the card's file.\n"
    "[TITLE]\n1=The card's title\n";

// The install directory with the program, a control file called CARD.INI
// and the release tool, current directory there.
void InstallDir(const std::string& dir, const std::string& ini,
                const std::string& program = "SELDUNAX.EXE") {
  fake::AddDir(dir);
  fake::AddFile(dir + "\\" + program, "program");
  WriteControlFile(dir + "\\CARD.INI", ini);
  fake::AddFile(dir + "\\DEVEJECT.EXE", "tool");
  fake::SetCurrentDir(dir);
}

std::string InTemp(const char* name) { return std::string(kTemp) + name; }

TEST_F(RelaunchTest, CopiesScheduleAndHandsOver) {
  InstallDir("C:\\VANTORIS", kOwnTexts);
  fake::AddFile(InTemp("seldunax.ini"), "left by an earlier run");
  fake::AddFile(InTemp("DEVEJECT.EXE"), "old tool");

  EXPECT_EQ(RunEntry("SELDUNAX.EXE CARD.INI"), 0);

  EXPECT_TRUE(fake::Boxes().empty());
  EXPECT_EQ(fake::ReadFile(InTemp("seldunax.exe")), "program");
  EXPECT_EQ(fake::ReadFile(InTemp("seldunax.ini")),
            fake::ReadFile("C:\\VANTORIS\\CARD.INI"));
  EXPECT_EQ(fake::ReadFile(InTemp("deveject.exe")), "tool");
  for (const char* name : {"seldunax.exe", "seldunax.ini", "deveject.exe"}) {
    EXPECT_EQ(ScheduledCount(InTemp(name)), 1) << name;
  }
  ASSERT_EQ(fake::StartedPrograms().size(), 1u);
  const fake::Started& started = fake::StartedPrograms()[0];
  EXPECT_TRUE(SameText(started.program, InTemp("SELDUNAX.EXE")))
      << started.program;
  EXPECT_EQ(started.commandLine, "SELDUNAX SELDUNAX.INI");
  EXPECT_TRUE(SameText(started.currentDir, "C:\\WINDOWS\\TEMP"))
      << started.currentDir;
  EXPECT_FALSE(started.waited);
  EXPECT_TRUE(fake::ExitedAfterStart());

  // The second run starts in TEMP and reads the copy of CARD.INI.
  fake::QueueAnswer(plat::kIdNo);
  EXPECT_EQ(RunEntry("SELDUNAX.EXE SELDUNAX.INI"), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"From the card's file."});
}

TEST_F(RelaunchTest, FailureStepsKeepWhatWasCopied) {
  struct Row {
    const char* label;
    const char* failingCall;  // the call that fails, on failingArg ("": any)
    const char* failingArg;
    const char* builtin;
    const char* own;
    std::vector<const char*> copied;
  };
  const Row rows[] = {
      {"program copy", "CopyOneFile", "C:\\VANTORIS\\seldunax.exe",
       MSG_COPY_EXE_FAILED, "No exe.", {}},
      {"control file copy", "CopyOneFile", "C:\\VANTORIS\\CARD.INI",
       MSG_COPY_INI_FAILED, "No ini.", {"seldunax.exe"}},
      {"release tool copy", "CopyOneFile", "C:\\VANTORIS\\deveject.exe",
       MSG_COPY_DEVEJECT_FAILED, "No tool.", {"seldunax.exe", "seldunax.ini"}},
      // A copy that no entry in WININIT.INI deletes would stay for good.
      {"entry for the program copy", "CreateNewFile",
       "C:\\WINDOWS\\WININIT.$$$", MSG_COPY_EXE_FAILED, "No exe.", {}},
      {"change into TEMP", "ChangeDirectory", "", MSG_SWITCH_TEMP_FAILED,
       "No temp.", {"seldunax.exe", "seldunax.ini", "deveject.exe"}},
  };
  for (const Row& row : rows) {
    for (bool ownTexts : {false, true}) {
      fake::Reset();
      InstallDir("C:\\VANTORIS", ownTexts ? kOwnTexts : "[x]\n");
      fake::FailCalls(row.failingCall, row.failingArg);
      std::string label = std::string(row.label) + (ownTexts ? ", own text" : "");

      EXPECT_EQ(RunEntry("SELDUNAX.EXE CARD.INI"), 2) << label;

      EXPECT_EQ(BoxTexts(),
                std::vector<std::string>{ownTexts ? row.own : row.builtin})
          << label;
      EXPECT_EQ(fake::Boxes()[0].style, plat::kMbOk) << label;
      EXPECT_EQ(fake::Boxes()[0].title,
                ownTexts ? "The card's title" : VANTORIS_TITLE)
          << label;
      EXPECT_TRUE(fake::StartedPrograms().empty()) << label;
      for (const char* name : {"seldunax.exe", "seldunax.ini", "deveject.exe"}) {
        bool copied = false;
        for (const char* c : row.copied) copied = copied || SameText(c, name);
        EXPECT_EQ(fake::Exists(InTemp(name)), copied) << label << ": " << name;
        EXPECT_EQ(ScheduledCount(InTemp(name)), copied ? 1 : 0)
            << label << ": " << name;
      }
    }
  }
}

TEST_F(RelaunchTest, ProgramUnderAnotherNameIsNotCopied) {
  InstallDir("C:\\VANTORIS", "[x]\n", "SETUP.EXE");

  EXPECT_EQ(RunEntry("SELDUNAX.EXE CARD.INI"), 2);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{MSG_COPY_EXE_FAILED});
  EXPECT_EQ(fake::ListTree("C:\\WINDOWS\\TEMP"),
            std::vector<std::string>{"C:\\WINDOWS\\TEMP\\"});
}

TEST_F(RelaunchTest, FailureTextsComeFromTheNamedControlFile) {
  InstallDir("C:\\VANTORIS", kOwnTexts);
  // Whatever the copy says, the original is asked.
  fake::AfterEachCall([](const fake::Call& call) {
    if (std::string(call.function) == "CopyOneFile" &&
        SameText(call.arg, "C:\\VANTORIS\\CARD.INI")) {
      WriteControlFile(InTemp("seldunax.ini"),
                       "[FAILEDTOCOPY_DEVEJECT.EXE]\n1=From the copy.\n");
    }
  });
  fake::FailCalls("CopyOneFile", "C:\\VANTORIS\\deveject.exe");

  EXPECT_EQ(RunEntry("SELDUNAX.EXE CARD.INI"), 2);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"No tool."});
}

TEST_F(RelaunchTest, TemporaryDirectoryThatCannotServe) {
  struct Row {
    const char* label;
    std::string tempPath;
    bool failTempPath;
    int exitCode;
    const char* text;  // nullptr: handed over without a box
  };
  std::string dir242 = LongDir("C:\\WINDOWS\\TEMP", 242);
  std::string dir243 = LongDir("C:\\WINDOWS\\TEMP", 243);
  std::string dir255 = LongDir("C:\\WINDOWS\\TEMP", 255);
  std::string dir256 = LongDir("C:\\WINDOWS\\TEMP", 256);
  const Row rows[] = {
      {"inside the install directory", "C:\\VANTORIS\\TEMP\\", false, 2,
       MSG_SWITCH_TEMP_FAILED},
      {"install directory in other case", "c:\\Vantoris2\\", false, 2,
       MSG_SWITCH_TEMP_FAILED},
      {"unknown", kTemp, true, 2, MSG_COPY_EXE_FAILED},
      {"without final backslash", "C:\\WINDOWS\\TEMP", false, 0, nullptr},
      {"name fits exactly", dir242 + "\\", false, 0, nullptr},
      {"name does not fit", dir243 + "\\", false, 2, MSG_COPY_EXE_FAILED},
      {"no room for the backslash", dir255, false, 2, MSG_COPY_EXE_FAILED},
      {"longer than a path", dir256 + "\\", false, 2, MSG_COPY_EXE_FAILED},
  };
  for (const Row& row : rows) {
    fake::Reset();
    InstallDir("C:\\VANTORIS", "[x]\n");
    fake::AddDir(row.tempPath);
    fake::SetTempPath(row.tempPath);
    if (row.failTempPath) fake::FailCalls("TempDirectory");

    EXPECT_EQ(RunEntry("SELDUNAX.EXE CARD.INI"), row.exitCode) << row.label;
    if (row.text == nullptr) {
      EXPECT_TRUE(fake::Boxes().empty()) << row.label;
      ASSERT_EQ(fake::StartedPrograms().size(), 1u) << row.label;
      std::string dir = row.tempPath;
      if (dir.back() == '\\') dir.pop_back();
      EXPECT_TRUE(SameText(fake::StartedPrograms()[0].currentDir, dir))
          << row.label;
    } else {
      EXPECT_EQ(BoxTexts(), std::vector<std::string>{row.text}) << row.label;
      EXPECT_EQ(FirstCall("CopyOneFile", AnyArg), -1) << row.label;
      EXPECT_TRUE(fake::StartedPrograms().empty()) << row.label;
    }
  }
}

// The change into TEMP is read back: the copy starts only in the directory
// it was copied into, never in the install directory, where it would hand
// over again without end.
TEST_F(RelaunchTest, ChangeIntoTempIsReadBack) {
  struct Row {
    const char* label;
    const char* tempPath;
    const char* changeTo;      // the ChangeDirectory argument
    const char* landsIn;       // where the change leads instead, or nullptr
    bool failReadBack;
    int exitCode;              // 0: handed over in tempPath, 2: the box
    bool noShortNames = false; // ShortPathName fails
  };
  const Row rows[] = {
      {"usual directory: final backslash removed", "C:\\WINDOWS\\TEMP\\",
       "C:\\WINDOWS\\TEMP", nullptr, false, 0},
      {"drive root keeps its backslash", "C:\\", "C:\\", nullptr, false, 0},
      {"other letter case", "c:\\windows\\TEMP\\", "c:\\windows\\TEMP",
       nullptr, false, 0},
      {"other letter case, no short names", "c:\\windows\\TEMP\\",
       "c:\\windows\\TEMP", nullptr, false, 0, true},
      {"reported in its short form", "C:\\TEMPORARY FILES\\",
       "C:\\TEMPORARY FILES", "C:\\TEMPOR~1", false, 0},
      {"lands in the install directory", kTemp, "C:\\WINDOWS\\TEMP",
       "C:\\VANTORIS", false, 2},
      {"lands below the install directory", kTemp, "C:\\WINDOWS\\TEMP",
       "C:\\VANTORIS\\DOS", false, 2},
      {"short form of the install directory", "C:\\VANTOR~1\\", "C:\\VANTOR~1",
       "C:\\VANTORIS", false, 2},
      {"lands elsewhere", kTemp, "C:\\WINDOWS\\TEMP", "C:\\WINDOWS", false, 2},
      {"cannot be read back", kTemp, "C:\\WINDOWS\\TEMP", nullptr, true, 2},
  };
  for (const Row& row : rows) {
    fake::Reset();
    InstallDir("C:\\VANTORIS", "[x]\n");
    fake::AddDir("C:\\VANTORIS\\DOS");
    fake::AddDir(row.tempPath);
    fake::SetTempPath(row.tempPath);
    // An alias directory stands for the short form of the long name; it
    // holds what the long one would.
    fake::AddFile("C:\\TEMPOR~1\\SELDUNAX.EXE", "program");
    fake::SetShortPath("C:\\TEMPORARY FILES", "C:\\TEMPOR~1");
    fake::SetShortPath("C:\\VANTORIS", "C:\\VANTOR~1");
    static const char* landsIn;
    landsIn = row.landsIn;
    fake::AfterEachCall([](const fake::Call& call) {
      if (landsIn && std::string(call.function) == "ChangeDirectory") {
        fake::SetCurrentDir(landsIn);
      }
    });
    if (row.noShortNames) fake::FailCalls("ShortPathName");
    if (row.failReadBack) {
      fake::FailWhen([](const fake::Call& call) {
        return std::string(call.function) == "CurrentDirectory" &&
               FirstCall("ChangeDirectory", AnyArg) >= 0;
      });
    }

    EXPECT_EQ(RunEntry("SELDUNAX.EXE CARD.INI"), row.exitCode) << row.label;

    long change = FirstCall("ChangeDirectory", AnyArg);
    ASSERT_GE(change, 0) << row.label;
    EXPECT_EQ(fake::CallLog()[change].arg, row.changeTo) << row.label;
    if (row.exitCode == 0) {
      EXPECT_TRUE(fake::Boxes().empty()) << row.label;
      ASSERT_EQ(fake::StartedPrograms().size(), 1u) << row.label;
      EXPECT_TRUE(SameText(fake::StartedPrograms()[0].currentDir,
                           row.landsIn ? row.landsIn : row.changeTo))
          << row.label << ": " << fake::StartedPrograms()[0].currentDir;
    } else {
      EXPECT_EQ(BoxTexts(), std::vector<std::string>{MSG_SWITCH_TEMP_FAILED})
          << row.label;
      EXPECT_TRUE(fake::StartedPrograms().empty()) << row.label;
    }
  }
}

TEST_F(RelaunchTest, InstallDirectoryPathLengths) {
  struct Row {
    size_t length;  // of the current directory
    int exitCode;
  };
  // The directory, a backslash and "seldunax.exe" in 255 characters.
  const Row rows[] = {{242, 0}, {243, 2}};
  for (const Row& row : rows) {
    fake::Reset();
    std::string dir = LongDir("C:\\VANTORIS", row.length);
    InstallDir(dir, "[x]\n");

    EXPECT_EQ(RunEntry("SELDUNAX.EXE CARD.INI"), row.exitCode) << row.length;
    if (row.exitCode == 2) {
      EXPECT_EQ(BoxTexts(), std::vector<std::string>{MSG_COPY_EXE_FAILED})
          << row.length;
      EXPECT_EQ(FirstCall("CopyOneFile", AnyArg), -1) << row.length;
    } else {
      EXPECT_EQ(fake::ReadFile(InTemp("seldunax.exe")), "program") << row.length;
    }
  }
}

}  // namespace
