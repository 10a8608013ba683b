// The entry: control-file path, the two launch checks (control file, then
// release tool) in their order, the mode decision and the exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/builtin_messages.h"
#include "launch/entry.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/launch/launch_fixture.h"
#include "tests/unit/support/test_support.h"

namespace {

using EntryTest = LaunchTest;

struct ControlPathRow {
  const char* label;
  std::string cwd;
  std::string command;
  std::string controlFile;  // created as a file ("" for none)
  std::string controlDir;   // created as a directory ("" for none)
  int exitCode;
  // The path the control-file check asked for ("" not to look).
  std::string checkedPath;
  uint32_t attributes = 0;  // of the control file
};

// Puts DEVEJECT.EXE in the current directory and answers the confirmation
// with No, so that a run that passes both checks ends with exit code 0.
int RunFrom(const std::string& cwd, const std::string& command) {
  std::string dir = cwd.back() == '\\' ? cwd : cwd + "\\";
  fake::AddFile(dir + "DEVEJECT.EXE", "tool");
  fake::SetCurrentDir(cwd);
  fake::QueueAnswer(plat::kIdNo);
  return RunEntry(("SELDUNAX.EXE " + command).c_str());
}

bool AskedFor(const std::string& path) {
  for (const fake::Call& call : fake::CallLog()) {
    if (std::string(call.function) == "FileAttributes" &&
        SameText(call.arg, path)) {
      return true;
    }
  }
  return false;
}

TEST_F(EntryTest, ControlFilePathAndTheControlFileCheck) {
  const std::string name251(251, 'N');
  const std::string name252(252, 'N');
  const std::string name253(253, 'N');
  std::vector<ControlPathRow> rows = {
      {"name in a directory", "C:\\DISK", "SELDUNAX.INI",
       "C:\\DISK\\SELDUNAX.INI", "", 0, "C:\\DISK\\SELDUNAX.INI"},
      {"name at the root", "C:\\", "SELDUNAX.INI", "C:\\SELDUNAX.INI", "", 0,
       "C:\\SELDUNAX.INI"},
      {"name with a drive", "C:\\DISK", "C:\\SELDUNAX.INI",
       "C:\\SELDUNAX.INI", "", 1, "C:\\DISK\\C:\\SELDUNAX.INI"},
      {"directory bearing the name", "C:\\DISK", "SELDUNAX.INI", "",
       "C:\\DISK\\SELDUNAX.INI", 0, "C:\\DISK\\SELDUNAX.INI"},
      {"read-only control file", "C:\\DISK", "SELDUNAX.INI",
       "C:\\DISK\\SELDUNAX.INI", "", 0, "C:\\DISK\\SELDUNAX.INI",
       plat::kAttrReadOnly},
      {"empty command line", "C:\\DISK", "", "C:\\DISK\\SELDUNAX.INI", "", 1,
       ""},
      {"switch alone", "C:\\DISK", "/POSTw95", "C:\\DISK\\SELDUNAX.INI", "",
       1, ""},
      {"no such file", "C:\\DISK", "CARD.INI", "C:\\DISK\\SELDUNAX.INI", "",
       1, "C:\\DISK\\CARD.INI"},
      {"name in quotes", "C:\\DISK", "\"SELDUNAX.INI\"",
       "C:\\DISK\\SELDUNAX.INI", "", 1, "C:\\DISK\\\"SELDUNAX.INI\""},
      {"two arguments joined", "C:\\DISK", "SELDUNAX .INI",
       "C:\\DISK\\SELDUNAX.INI", "", 0, "C:\\DISK\\SELDUNAX.INI"},
      {"path of 255 characters", "C:\\", name252, "C:\\" + name252, "", 0,
       "C:\\" + name252},
      {"path of 256 characters", "C:\\", name253, "C:\\" + name253, "", 1, ""},
      // The first argument names a file, but the name the arguments make
      // together is too long: nothing is looked for.
      {"joined arguments too long", "C:\\DISK", "A.INI " + name251,
       "C:\\DISK\\A.INI", "", 1, ""},
  };
  // Current directories at and over the edge: directory, backslash and
  // SELDUNAX.INI (12 characters) in 255.
  for (size_t length : {242u, 243u, 255u, 256u}) {
    std::string dir = LongDir("C:\\", length);
    rows.push_back({length == 242 ? "directory at the edge"
                                  : "directory over the edge",
                    dir, "SELDUNAX.INI", dir + "\\SELDUNAX.INI", "",
                    length == 242 ? 0 : 1,
                    length == 242 ? dir + "\\SELDUNAX.INI" : ""});
  }

  for (const ControlPathRow& row : rows) {
    fake::Reset();
    fake::AddDir(row.cwd);
    if (!row.controlFile.empty()) {
      WriteControlFile(row.controlFile, "[x]\n");
      fake::SetAttributes(row.controlFile, row.attributes);
    }
    if (!row.controlDir.empty()) fake::AddDir(row.controlDir);

    int code = RunFrom(row.cwd, row.command);

    EXPECT_EQ(code, row.exitCode) << row.label;
    if (!row.checkedPath.empty()) {
      EXPECT_TRUE(AskedFor(row.checkedPath)) << row.label;
    } else if (!row.controlFile.empty()) {
      EXPECT_FALSE(AskedFor(row.controlFile)) << row.label;
    }
    ASSERT_EQ(fake::Boxes().size(), 1u) << row.label;
    const fake::Box& box = fake::Boxes()[0];
    EXPECT_EQ(box.title, VANTORIS_TITLE) << row.label;
    if (row.exitCode == 1) {
      EXPECT_EQ(box.text, MSG_NO_CONTROL_FILE) << row.label;
      EXPECT_EQ(box.style, plat::kMbOk) << row.label;
    } else {
      EXPECT_EQ(box.style, plat::kMbYesNo) << row.label;
    }
  }
}

TEST_F(EntryTest, CurrentDirectoryUnknownCountsAsNoControlFile) {
  fake::AddDir("C:\\DISK");
  WriteControlFile("C:\\DISK\\SELDUNAX.INI", "[x]\n");
  fake::FailCalls("CurrentDirectory");

  EXPECT_EQ(RunFrom("C:\\DISK", "SELDUNAX.INI"), 1);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{MSG_NO_CONTROL_FILE});
}

TEST_F(EntryTest, LaunchChecksInTheirOrder) {
  struct Row {
    const char* label;
    bool controlFile;
    bool deveject;
    const char* ini;
    int exitCode;
    std::string text;
    uint32_t style;
    bool devejectIsDirectory = false;
    const char* title = VANTORIS_TITLE;
  };
  const Row rows[] = {
      {"both missing", false, false, "", 1, MSG_NO_CONTROL_FILE, plat::kMbOk},
      {"release tool missing", true, false, "[x]\n", 2, MSG_NO_DEVEJECT,
       plat::kMbOk},
      {"release tool missing, own text", true, false,
       "[EJCTNOTFOUND]\n1=No tool.\n2=CR\n3=Copy it here.\n", 2,
       "No tool.\nCopy it here.", plat::kMbOk},
      {"release tool missing, empty first key", true, false,
       "[EJCTNOTFOUND]\n2=Not read.\n", 2, MSG_NO_DEVEJECT, plat::kMbOk},
      {"release tool missing, own title", true, false,
       "[TITLE]\n1=AudioMax 64\n", 2, MSG_NO_DEVEJECT, plat::kMbOk, false,
       "AudioMax 64"},
      {"both there, own title", true, true, "[TITLE]\n1=AudioMax 64\n", 0,
       MSG_CONFIRM_FULL, plat::kMbYesNo, false, "AudioMax 64"},
      {"both there", true, true, "[EJCTNOTFOUND]\n1=Not shown.\n", 0,
       MSG_CONFIRM_FULL, plat::kMbYesNo},
      // The check is one of existence: a directory of that name passes it.
      {"release tool is a directory", true, true, "[x]\n", 0,
       MSG_CONFIRM_FULL, plat::kMbYesNo, true},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::AddDir("C:\\DISK");
    if (row.controlFile) WriteControlFile("C:\\DISK\\SELDUNAX.INI", row.ini);
    if (row.deveject && row.devejectIsDirectory) {
      fake::AddDir("C:\\DISK\\DEVEJECT.EXE");
    } else if (row.deveject) {
      fake::AddFile("C:\\DISK\\DEVEJECT.EXE", "tool");
    }
    fake::SetCurrentDir("C:\\DISK");
    fake::QueueAnswer(plat::kIdNo);

    EXPECT_EQ(RunEntry("SELDUNAX.EXE SELDUNAX.INI"), row.exitCode) << row.label;
    ASSERT_EQ(fake::Boxes().size(), 1u) << row.label;
    EXPECT_EQ(fake::Boxes()[0].text, row.text) << row.label;
    EXPECT_EQ(fake::Boxes()[0].title, row.title) << row.label;
    EXPECT_EQ(fake::Boxes()[0].style, row.style) << row.label;
  }
}

TEST_F(EntryTest, ModeDecision) {
  struct Row {
    std::string cwd;
    const char* command;
    bool relaunch;
    const char* confirmation;  // the uninstall branch's first box
  };
  const Row rows[] = {
      {"C:\\VANTORIS", "SELDUNAX.INI", true, nullptr},
      {"c:\\vantoris\\dos", "SELDUNAX.INI", true, nullptr},
      {"C:\\VANTORIS2", "SELDUNAX.INI", true, nullptr},
      {"D:\\VANTORIS", "SELDUNAX.INI", false, MSG_CONFIRM_FULL},
      {"C:\\", "SELDUNAX.INI", false, MSG_CONFIRM_FULL},
      {"C:\\WINDOWS\\TEMP", "SELDUNAX.INI", false, MSG_CONFIRM_FULL},
      {"C:\\VANTORI", "SELDUNAX.INI", false, MSG_CONFIRM_FULL},
      // The current directory decides, not the control file's path.
      {"C:\\", "VANTORIS.INI", false, MSG_CONFIRM_FULL},
      {"C:\\VANTORIS", "/POSTw95 SELDUNAX.INI", false,
       MSG_CONFIRM_POSTINSTALL},
      {"c:\\vantoris\\dos", "SELDUNAX.INI -postw95", false,
       MSG_CONFIRM_POSTINSTALL},
      {"C:\\VANTORIS", "/POST SELDUNAX.INI", true, nullptr},
      {"C:\\WINDOWS\\TEMP", "/POSTw95x SELDUNAX.INI", false,
       MSG_CONFIRM_POSTINSTALL},
  };
  for (const Row& row : rows) {
    fake::Reset();
    std::string dir = row.cwd.back() == '\\' ? row.cwd : row.cwd + "\\";
    fake::AddDir(row.cwd);
    WriteControlFile(dir + "SELDUNAX.INI", "[x]\n");
    WriteControlFile(dir + "VANTORIS.INI", "[x]\n");
    fake::AddFile(dir + "SELDUNAX.EXE", "program");
    std::string label = row.cwd + " " + row.command;

    EXPECT_EQ(RunFrom(row.cwd, row.command), 0) << label;

    if (row.relaunch) {
      EXPECT_TRUE(fake::Boxes().empty()) << label;
      ASSERT_EQ(fake::StartedPrograms().size(), 1u) << label;
      EXPECT_FALSE(fake::StartedPrograms()[0].waited) << label;
    } else {
      EXPECT_TRUE(fake::StartedPrograms().empty()) << label;
      ASSERT_EQ(fake::Boxes().size(), 1u) << label;
      EXPECT_EQ(fake::Boxes()[0].text, row.confirmation) << label;
      EXPECT_EQ(fake::Boxes()[0].style, plat::kMbYesNo) << label;
    }
  }
}

}  // namespace
