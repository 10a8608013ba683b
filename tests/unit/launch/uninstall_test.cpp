// The uninstall sequence: confirmation and closing texts, declining, the
// mode's steps and their order.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "control/builtin_messages.h"
#include "control/message.h"
#include "launch/launch_state.h"
#include "launch/uninstall.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/launch/launch_fixture.h"
#include "tests/unit/support/card_machine.h"
#include "tests/unit/support/test_support.h"

namespace {

const char kLists[] =
    "[pnpids]\n1=VAN0001\n"
    "[copy]\nFROM1=C:\\DISK\\NEW.DRV\nTO1=C:\\WINDOWS\\SYSTEM\\NEW.DRV\n"
    "[delete]\n1=C:\\WINDOWS\\SYSTEM\\NEW.DRV\n2=C:\\WINDOWS\\SYSTEM\\OLD.DRV\n"
    "[multdel]\n1=C:\\WINDOWS\\SYSTEM\\VAN*.DLL\n"
    "[deltree]\n1=C:\\VANTORIS\\DRIVERS\n"
    "[regdel]\n1=HKLM\\SOFTWARE\\VANTORIS\n";

const char kAutoexec[] = "@ECHO OFF\r\nC:\\VANTORIS\\HALCYRENE.EXE /I\r\n";
const char kDosstart[] = "C:\\VANTORIS\\HALCYRENE.EXE /D\r\n";
const char kConfigSys[] = "DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE NOEMS\r\n";

// A machine with something for every removal step to act on.
void BuildMachine(const std::string& extraIni) {
  fake::Reset();
  WriteControlFile(kControl, std::string(kLists) + extraIni);
  fake::AddFile("C:\\DISK\\DEVEJECT.EXE", "tool");
  fake::AddFile("C:\\DISK\\NEW.DRV", "new driver");
  fake::SetCurrentDir("C:\\DISK");
  fake::AddRegKey(kIsaPnp + "\\VAN0001\\0");
  fake::AddRegKey(kIsaPnp + "\\OTHER0001\\0");
  fake::AddRegKey(kClass);
  fake::AddRegKey("HKLM\\SOFTWARE\\VANTORIS\\AudioMax");
  fake::AddFile("C:\\VANTORIS\\DOS\\EMM386.EXE", "memory manager");
  fake::AddFile("C:\\VANTORIS\\DRIVERS\\VAN.DRV", "driver");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\OLD.DRV", "old");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\VAN1.DLL", "dll");
  fake::AddFile("C:\\AUTOEXEC.BAT", kAutoexec);
  fake::AddFile("C:\\WINDOWS\\DOSSTART.BAT", kDosstart);
  fake::AddFile("C:\\CONFIG.SYS", kConfigSys);
}

int Uninstall(int postInstall) {
  LaunchState state;
  state.postInstall = postInstall;
  snprintf(state.controlPath, sizeof state.controlPath, "%s", kControl);
  snprintf(state.work, sizeof state.work, "C:\\DISK");
  state.tempPath[0] = '\0';
  state.message[0] = 'J';  // whatever an earlier step left there
  state.message[1] = '\0';
  LoadBoxTitle(state.title, kControl);  // as the entry does
  return RunUninstall(&state);
}

#define NOT_DONE MSG_REBOOT_NOW "\n\nThese steps could not be done:"

// The closing box adds its own lines exactly when a step could not be
// done: at most three, and a count for the rest.
TEST(RunUninstall, ConfirmationAndClosingTexts) {
  struct Row {
    const char* label;
    int postInstall;
    std::string ini;
    int answer;
    std::vector<std::string> boxes;
    void (*damage)() = [] {};
    std::string title = VANTORIS_TITLE;  // of every box
  };
  const std::string x256(256, 'x');
  const Row rows[] = {
      {"full, built-in", 0, "", plat::kIdYes,
       {MSG_CONFIRM_FULL, MSG_REBOOT_NOW}},
      {"post-install, built-in", 1, "", plat::kIdYes,
       {MSG_CONFIRM_POSTINSTALL, MSG_REBOOT_NOW}},
      {"full, own texts", 0,
       "[AREYOUSURE]\n1=Sure?\n[REBOOTNOW]\n1=Restart\n2=CR\n3=now.\n",
       plat::kIdYes, {"Sure?", "Restart\nnow."}},
      {"post-install, own texts", 1,
       "[AREYOUSURE]\n1=Full?\n[POSTW95]\n1=Post?\n[REBOOTNOW]\n1=Bye\n",
       plat::kIdYes, {"Post?", "Bye"}},
      {"post-install ignores the full-mode text", 1, "[AREYOUSURE]\n1=Full?\n",
       plat::kIdYes, {MSG_CONFIRM_POSTINSTALL, MSG_REBOOT_NOW}},
      {"closing text without key 1", 0,
       "[AREYOUSURE]\n1=Sure?\n[REBOOTNOW]\n2=Lost\n", plat::kIdYes,
       {"Sure?", MSG_REBOOT_NOW}},
      {"closing text of one line feed", 0, "[REBOOTNOW]\n1=CR\n", plat::kIdYes,
       {MSG_CONFIRM_FULL, "\n"}},
      {"full, declined", 0, "[REBOOTNOW]\n1=Bye\n", plat::kIdNo,
       {MSG_CONFIRM_FULL}},
      {"post-install, declined", 1, "", plat::kIdNo,
       {MSG_CONFIRM_POSTINSTALL}},
      {"box closed some other way", 0, "", plat::kIdOk, {MSG_CONFIRM_FULL}},
      {"box failed", 0, "", 0, {MSG_CONFIRM_FULL}},
      {"read-only CONFIG.SYS", 0, "", plat::kIdYes,
       {MSG_CONFIRM_FULL,
        NOT_DONE "\nNot changed: C:\\CONFIG.SYS"
                 "\nKept: C:\\VANTORIS\\DOS\\EMM386.EXE"},
       [] { fake::SetAttributes("C:\\CONFIG.SYS", plat::kAttrReadOnly); }},
      {"own text, a copy not made", 0, "[REBOOTNOW]\n1=Bye\n", plat::kIdYes,
       {MSG_CONFIRM_FULL,
        "Bye\n\nThese steps could not be done:"
        "\nNot copied: C:\\WINDOWS\\SYSTEM\\NEW.DRV\nKept: C:\\DISK\\NEW.DRV"},
       [] { fake::FailCalls("CopyOneFile", "C:\\DISK\\NEW.DRV"); }},
      {"write-protected disk: three steps and a count", 0, "", plat::kIdYes,
       {MSG_CONFIRM_FULL,
        NOT_DONE "\nNot copied: C:\\WINDOWS\\EMM386.EXE"
                 "\nKept: C:\\VANTORIS\\DOS\\EMM386.EXE"
                 "\nNot changed: C:\\AUTOEXEC.BAT\n... and 7 more."},
       [] { fake::SetDiskFault(fake::DiskFault::WriteProtected); }},
      {"a read-only file in the tree", 0, "", plat::kIdYes,
       {MSG_CONFIRM_FULL,
        NOT_DONE "\nNot deleted: C:\\VANTORIS\\DRIVERS\\VAN.DRV"},
       [] {
         fake::SetAttributes("C:\\VANTORIS\\DRIVERS\\VAN.DRV",
                             plat::kAttrReadOnly);
       }},
      {"post-install mode on a write-protected disk", 1, "", plat::kIdYes,
       {MSG_CONFIRM_POSTINSTALL, MSG_REBOOT_NOW},
       [] { fake::SetDiskFault(fake::DiskFault::WriteProtected); }},
      // Post-install mode's own closing text, or else the full one.
      {"post-install, own closing text", 1,
       "[REBOOTNOW]\n1=Full\n[POSTREBOOTNOW]\n1=Post\n2=CR\n3=done\n",
       plat::kIdYes, {MSG_CONFIRM_POSTINSTALL, "Post\ndone"}},
      {"post-install closing text without key 1", 1,
       "[REBOOTNOW]\n1=Full\n[POSTREBOOTNOW]\n2=Lost\n", plat::kIdYes,
       {MSG_CONFIRM_POSTINSTALL, "Full"}},
      {"full ignores the post-install closing text", 0,
       "[POSTREBOOTNOW]\n1=Post\n", plat::kIdYes,
       {MSG_CONFIRM_FULL, MSG_REBOOT_NOW}},
      // [TITLE] key 1, one piece: cut to 255 characters; missing or empty,
      // the built-in title.
      {"own title", 1, "[TITLE]\n1=AudioMax 64\n2= (not read)\n",
       plat::kIdYes, {MSG_CONFIRM_POSTINSTALL, MSG_REBOOT_NOW}, [] {}, "AudioMax 64"},
      {"own title of 256 characters", 0, "[TITLE]\n1=" + x256 + "\n",
       plat::kIdNo, {MSG_CONFIRM_FULL}, [] {}, x256.substr(0, 255)},
      {"empty title", 0, "[TITLE]\n1=\n2=Not read\n", plat::kIdYes,
       {MSG_CONFIRM_FULL, MSG_REBOOT_NOW}},
  };
  for (const Row& row : rows) {
    BuildMachine(row.ini);
    row.damage();
    fake::QueueAnswer(row.answer);

    EXPECT_EQ(Uninstall(row.postInstall), 0) << row.label;
    EXPECT_EQ(BoxTexts(), row.boxes) << row.label;
    for (size_t i = 0; i < fake::Boxes().size(); ++i) {
      const fake::Box& box = fake::Boxes()[i];
      EXPECT_EQ(box.title, row.title) << row.label;
      EXPECT_EQ(box.style, i == 0 ? plat::kMbYesNo : plat::kMbOk) << row.label;
    }
  }
}

TEST(RunUninstall, DecliningChangesNothing) {
  for (int postInstall : {0, 1}) {
    BuildMachine("");
    std::shared_ptr<fake::State> before = fake::Snapshot();
    fake::QueueAnswer(plat::kIdNo);

    EXPECT_EQ(Uninstall(postInstall), 0);
    EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before))
        << "post-install flag " << postInstall;
  }
}

TEST(RunUninstall, ClosingTextIsReadBeforeAnythingIsRemoved) {
  BuildMachine("[REBOOTNOW]\n1=Read first.\n");
  // The delete list removes the control file itself.
  WriteControlFile(kControl,
                   "[delete]\n1=C:\\DISK\\SELDUNAX.INI\n"
                   "[REBOOTNOW]\n1=Read first.\n[TITLE]\n1=Mine\n");

  EXPECT_EQ(Uninstall(0), 0);
  EXPECT_FALSE(fake::Exists(kControl));
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{MSG_CONFIRM_FULL, "Read first."}));
  EXPECT_EQ(fake::Boxes().back().title, "Mine");

  // In post-install mode too, before the device keys.
  BuildMachine("[POSTREBOOTNOW]\n1=Read first.\n");
  EXPECT_EQ(Uninstall(1), 0);
  long read = FirstCall("ReadProfileString", [](const std::string& section) {
    return section == "POSTREBOOTNOW";
  });
  EXPECT_GE(read, 0);
  EXPECT_LT(read, FirstCall("OpenRegKey", AnyArg));
}

TEST(RunUninstall, PostInstallModeRemovesOnlyTheDeviceKeys) {
  BuildMachine("");
  std::vector<std::string> filesBefore = fake::ListTree();

  EXPECT_EQ(Uninstall(1), 0);

  EXPECT_FALSE(fake::RegKeyExists("HKLM\\ENUM\\ISAPNP\\VAN0001"));
  EXPECT_TRUE(fake::RegKeyExists("HKLM\\ENUM\\ISAPNP\\OTHER0001"));
  EXPECT_TRUE(fake::RegKeyExists("HKLM\\SOFTWARE\\VANTORIS"));
  EXPECT_EQ(fake::ListTree(), filesBefore);
  EXPECT_EQ(fake::ReadFile("C:\\AUTOEXEC.BAT"), kAutoexec);
  EXPECT_EQ(fake::ReadFile("C:\\WINDOWS\\DOSSTART.BAT"), kDosstart);
  EXPECT_EQ(fake::ReadFile("C:\\CONFIG.SYS"), kConfigSys);
  EXPECT_EQ(FirstCall("CopyOneFile", [](const std::string&) { return true; }),
            -1);
}

bool StartsWithDriversDir(const std::string& arg) {
  return Upper(arg).rfind("C:\\VANTORIS\\DRIVERS", 0) == 0;
}
bool NamesEmm386(const std::string& arg) {
  return Upper(arg).find("EMM386.EXE") != std::string::npos;
}

TEST(RunUninstall, FullModeRunsEveryStepInOrder) {
  BuildMachine("");

  EXPECT_EQ(Uninstall(0), 0);

  // What each step leaves behind.
  EXPECT_FALSE(fake::RegKeyExists("HKLM\\ENUM\\ISAPNP\\VAN0001"));
  EXPECT_TRUE(fake::Exists("C:\\WINDOWS\\EMM386.EXE"));
  EXPECT_NE(fake::ReadFile("C:\\AUTOEXEC.BAT"), kAutoexec);
  EXPECT_NE(fake::ReadFile("C:\\WINDOWS\\DOSSTART.BAT"), kDosstart);
  EXPECT_NE(fake::ReadFile("C:\\CONFIG.SYS"), kConfigSys);
  EXPECT_FALSE(fake::Exists("C:\\WINDOWS\\SYSTEM\\OLD.DRV"));
  EXPECT_FALSE(fake::Exists("C:\\WINDOWS\\SYSTEM\\VAN1.DLL"));
  EXPECT_FALSE(fake::Exists("C:\\VANTORIS\\DRIVERS"));
  EXPECT_FALSE(fake::RegKeyExists("HKLM\\SOFTWARE\\VANTORIS"));
  // The copy list runs before the delete list: copied, then deleted.
  EXPECT_NE(FirstCall("CopyOneFile",
                      [](const std::string& arg) {
                        return SameText(arg, "C:\\DISK\\NEW.DRV");
                      }),
            -1);
  EXPECT_FALSE(fake::Exists("C:\\WINDOWS\\SYSTEM\\NEW.DRV"));

  // The first call each step makes on its own objects, in the fixed order.
  struct Step {
    const char* name;
    long at;
  };
  const Step steps[] = {
      {"device keys", FirstCall("OpenRegKey", AnyArg)},
      {"memory manager", FirstCall("", NamesEmm386)},
      {"AUTOEXEC.BAT", FirstCallWithArg("C:\\AUTOEXEC.BAT")},
      {"DOSSTART.BAT", FirstCallWithArg("C:\\WINDOWS\\DOSSTART.BAT")},
      {"CONFIG.SYS", FirstCallWithArg("C:\\CONFIG.SYS")},
      {"copy list", FirstCallWithArg("C:\\DISK\\NEW.DRV")},
      {"delete list", FirstCallWithArg("C:\\WINDOWS\\SYSTEM\\OLD.DRV")},
      {"wildcard list", FirstCallWithArg("C:\\WINDOWS\\SYSTEM\\VAN*.DLL")},
      {"tree list", FirstCall("", StartsWithDriversDir)},
      {"registry list", FirstCallWithArg("SOFTWARE\\VANTORIS")},
  };
  for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
    EXPECT_GE(steps[i].at, 0) << steps[i].name << " never ran";
    if (i > 0) {
      EXPECT_LT(steps[i - 1].at, steps[i].at)
          << steps[i - 1].name << " should come before " << steps[i].name;
    }
  }
}

TEST(RunUninstall, DosstartPathThatIsNotWholeIsLeftAlone) {
  struct Row {
    const char* label;
    std::string windowsDir;
    bool failWindowsDir;
    std::string untouched;  // the file a wrong path would name
  };
  // 245 characters and "\DOSSTART.BAT" would be cut to "...\DOSSTART".
  std::string longWindows = LongDir("C:\\", 245);
  const Row rows[] = {
      {"expansion cut", longWindows, false, longWindows + "\\DOSSTART"},
      {"Windows directory unknown", "C:\\WINDOWS", true, "C:\\DOSSTART.BAT"},
  };
  for (const Row& row : rows) {
    BuildMachine("");
    fake::AddDir(row.windowsDir);
    fake::SetWindowsDir(row.windowsDir);
    fake::AddFile(row.untouched, kDosstart);
    if (row.failWindowsDir) fake::FailCalls("WindowsDirectory");

    EXPECT_EQ(Uninstall(0), 0) << row.label;
    EXPECT_EQ(fake::ReadFile(row.untouched), kDosstart) << row.label;
    // Without the Windows directory the memory manager cannot be put back
    // either, which the box goes on to say.
    EXPECT_EQ(BoxTexts().back().rfind(MSG_REBOOT_NOW "\n\n", 0), 0u)
        << row.label;
  }
}

}  // namespace
