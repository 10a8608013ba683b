// Injected faults, the call log, snapshots, and the logs of processes,
// boxes and broadcasts: the fault sweeps and every end-to-end style unit
// test read the machine through these.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"

namespace {

// Each platform call, made so that it succeeds on the machine of Prepare().
struct CallRow {
  const char* function;
  std::function<bool()> failed;  // true when the call reported failure
};

void Prepare() {
  fake::Reset();
  fake::AddFile("C:\\D\\A.INI", "[S]\r\nk=v\r\n");
  fake::AddFile("C:\\D\\DEVEJECT.EXE", "MZ");
  fake::AddDir("C:\\EMPTY");
  fake::AddFile("C:\\D\\R.~old", "left aside");
  fake::SetRegString("HKLM\\K\\SUB", "V", "x");
  fake::SetCurrentDir("C:\\D");
}

plat::RegKey OpenK() {
  plat::RegKey k = 0;
  plat::OpenRegKey(plat::kHkeyLocalMachine, "K", &k);
  return k;
}

std::vector<CallRow> CallRows() {
  return {
      {"ReadProfileString",
       [] {
         char b[8];
         plat::ReadProfileString("S", "k", "dflt", b, 8, "C:\\D\\A.INI");
         return std::string(b) == "dflt";
       }},
      {"OpenRegKey",
       [] {
         plat::RegKey k;
         return plat::OpenRegKey(plat::kHkeyLocalMachine, "K", &k) != 0;
       }},
      {"EnumRegSubkey",
       [] {
         char n[16];
         return plat::EnumRegSubkey(OpenK(), 0, n, 16) == 5;
       }},
      {"QueryRegValue",
       [] {
         plat::RegKey k;
         plat::OpenRegKey(plat::kHkeyLocalMachine, "K\\SUB", &k);
         char d[8];
         uint32_t size = 8;
         return plat::QueryRegValue(k, "V", d, &size) == 5;
       }},
      {"DeleteRegTree",
       [] { return plat::DeleteRegTree(plat::kHkeyLocalMachine, "K") == 5; }},
      {"DeleteRegValue",
       [] {
         plat::RegKey k;
         plat::OpenRegKey(plat::kHkeyLocalMachine, "K\\SUB", &k);
         return plat::DeleteRegValue(k, "V") == 5;
       }},
      {"CloseRegKey", [] { return plat::CloseRegKey(OpenK()) == 5; }},
      {"BroadcastDeviceChange",
       [] {
         uint32_t r = 5;
         plat::DevBroadcastDevnode rec{16, 1, 0, 7};
         return plat::BroadcastDeviceChange(0x68, &r, 0x219, 0x8003, &rec) ==
                -1;
       }},
      {"CopyOneFile",
       [] { return !plat::CopyOneFile("C:\\D\\A.INI", "C:\\D\\B", false); }},
      {"RemoveFile", [] { return !plat::RemoveFile("C:\\D\\A.INI"); }},
      {"RemoveListedFile",
       [] { return !plat::RemoveListedFile("C:\\D\\A.INI", 0); }},
      {"RemoveDir", [] { return !plat::RemoveDir("C:\\EMPTY"); }},
      {"FileAttributes",
       [] {
         return plat::FileAttributes("C:\\D\\A.INI") == plat::kInvalidAttributes;
       }},
      {"FindFirst",
       [] {
         plat::FindData fd;
         return plat::FindFirst("C:\\D\\*", &fd) == plat::kNoFind;
       }},
      {"CurrentDirectory",
       [] {
         char b[64];
         return plat::CurrentDirectory(b, 64) == 0;
       }},
      {"TempDirectory",
       [] {
         char b[64];
         return plat::TempDirectory(b, 64) == 0;
       }},
      {"WindowsDirectory",
       [] {
         char b[64];
         return plat::WindowsDirectory(b, 64) == 0;
       }},
      {"SystemDirectory",
       [] {
         char b[64];
         return plat::SystemDirectory(b, 64) == 0;
       }},
      {"ShortPathName",
       [] {
         char b[64];
         return plat::ShortPathName("C:\\D\\A.INI", b, 64) == 0;
       }},
      {"ChangeDirectory", [] { return !plat::ChangeDirectory("C:\\"); }},
      {"OpenForRead",
       [] { return plat::OpenForRead("C:\\D\\A.INI") == plat::kNoFile; }},
      {"CreateNewFile",
       [] { return plat::CreateNewFile("C:\\D\\N") == plat::kNoFile; }},
      {"ReadBytes",
       [] {
         char b[4];
         return plat::ReadBytes(plat::OpenForRead("C:\\D\\A.INI"), b, 4) == -1;
       }},
      {"WriteBytes",
       [] {
         return !plat::WriteBytes(plat::CreateNewFile("C:\\D\\N"), "x", 1);
       }},
      {"FlushFile",
       [] { return !plat::FlushFile(plat::CreateNewFile("C:\\D\\N")); }},
      {"CloseFile",
       [] {
         // A failed close still gives the handle back.
         bool failed = !plat::CloseFile(plat::OpenForRead("C:\\D\\A.INI"));
         return failed && fake::OpenFiles() == 0;
       }},
      {"FindNext",
       [] {
         plat::FindData fd;
         plat::FindHandle h = plat::FindFirst("C:\\D\\*", &fd);
         bool failed = !plat::FindNext(h, &fd);
         plat::FindEnd(h);
         return failed;
       }},
      {"ReplaceFileWith",
       [] { return !plat::ReplaceFileWith("C:\\D\\A.INI", "C:\\D\\N"); }},
      {"RenameFile",
       [] { return !plat::RenameFile("C:\\D\\A.INI", "C:\\D\\N"); }},
      {"RecoverReplacedFile",
       [] {
         plat::RecoverReplacedFile("C:\\D\\R");
         return !fake::Exists("C:\\D\\R");
       }},
      {"Allocate",
       [] {
         void* p = plat::Allocate(10);
         std::free(p);
         return p == nullptr;
       }},
      {"RunAndWait", [] { return plat::RunAndWait("DEVEJECT", "1") == -1; }},
      {"StartAndExit",
       [] {
         plat::StartAndExit("DEVEJECT", "x");
         return !fake::ExitedAfterStart();
       }},
      {"ShowMessage", [] { return plat::ShowMessage("t", "T", 0) == 0; }},
  };
}

TEST(FakeFaults, EveryCallFailsAsTheSystemsCallFails) {
  for (const CallRow& row : CallRows()) {
    Prepare();
    EXPECT_FALSE(row.failed()) << row.function << " fails without a fault";
    Prepare();
    fake::FailCalls(row.function);
    EXPECT_TRUE(row.failed()) << row.function << " does not fail on demand";
    bool logged = false;
    for (const fake::Call& c : fake::CallLog()) {
      logged = logged || std::string(c.function) == row.function;
    }
    EXPECT_TRUE(logged) << row.function << " is not in the call log";
  }
}

TEST(FakeFaults, FailuresChangeNothing) {
  Prepare();
  std::shared_ptr<fake::State> before = fake::Snapshot();
  fake::FailWhen([](const fake::Call&) { return true; });
  for (const CallRow& row : CallRows()) row.failed();
  EXPECT_EQ(fake::Describe(before), fake::Describe(fake::Snapshot()));
  EXPECT_TRUE(fake::Boxes().empty());
  EXPECT_TRUE(fake::StartedPrograms().empty());
  EXPECT_TRUE(fake::Broadcasts().empty());
}

TEST(FakeFaults, FailCallsMatchesTheArgumentInAnyCase) {
  Prepare();
  fake::AddFile("C:\\D\\B", "b");
  fake::FailCalls("RemoveFile", "c:\\d\\b");
  EXPECT_TRUE(plat::RemoveFile("C:\\D\\A.INI"));
  EXPECT_FALSE(plat::RemoveFile("C:\\D\\B"));
  EXPECT_TRUE(fake::Exists("C:\\D\\B"));
}

TEST(FakeFaults, CallsAreNumberedAndHookedInOrder) {
  Prepare();
  std::vector<std::string> seen;
  fake::AfterEachCall([&seen](const fake::Call& c) {
    seen.push_back(std::string(c.function) + ":" + c.arg + ":" +
                   std::to_string(c.index));
  });
  plat::FileAttributes("C:\\D\\A.INI");
  char buf[8];
  plat::ReadProfileString("S", "k", "", buf, 8, "C:\\D\\A.INI");
  plat::RemoveFile("x");
  EXPECT_EQ(std::vector<std::string>({"FileAttributes:C:\\D\\A.INI:1",
                                      "ReadProfileString:S:2",
                                      "RemoveFile:x:3"}),
            seen);
  EXPECT_EQ(3, fake::CallCount());
  fake::Reset();
  EXPECT_EQ(0, fake::CallCount());
  EXPECT_TRUE(fake::CallLog().empty());
}

TEST(FakeFaults, RestoreBringsBackFilesRegistryAndCurrentDirectory) {
  Prepare();
  fake::SetAttributes("C:\\D\\A.INI", plat::kAttrReadOnly);
  std::shared_ptr<fake::State> saved = fake::Snapshot();
  std::string before = fake::Describe(saved);
  fake::SetAttributes("C:\\D\\A.INI", 0);
  plat::RemoveFile("C:\\D\\A.INI");
  plat::DeleteRegTree(plat::kHkeyLocalMachine, "K");
  fake::AddFile("C:\\NEW\\F", "f");
  plat::ChangeDirectory("C:\\NEW");
  EXPECT_NE(before, fake::Describe(fake::Snapshot()));
  fake::Restore(saved);
  EXPECT_EQ(before, fake::Describe(fake::Snapshot()));
  EXPECT_EQ("C:\\D", fake::CurrentDir());
  EXPECT_EQ(plat::kAttrReadOnly, fake::Attributes("C:\\D\\A.INI"));
  EXPECT_TRUE(fake::RegKeyExists("HKLM\\K\\SUB"));
  EXPECT_FALSE(fake::Exists("C:\\NEW"));
}

TEST(FakeProcesses, ProgramsAreFoundInTheCurrentDirectoryOnly) {
  struct Row {
    std::vector<const char*> files;
    const char* found;  // nullptr: not started
  } rows[] = {
      {{"C:\\D\\TOOL.EXE", "C:\\D\\TOOL.COM", "C:\\D\\TOOL.BAT"},
       "C:\\D\\TOOL.COM"},
      {{"C:\\D\\TOOL.CMD", "C:\\D\\TOOL.BAT"}, "C:\\D\\TOOL.BAT"},
      {{"C:\\D\\tool.exe"}, "C:\\D\\tool.exe"},
      {{"C:\\D\\TOOL.EXE"}, "C:\\D\\TOOL.EXE"},
      {{"C:\\WINDOWS\\TOOL.EXE", "C:\\TOOL.EXE"}, nullptr},
      {{"C:\\D\\TOOL"}, nullptr},
      {{"C:\\D\\TOOL.EXE\\X"}, nullptr},  // a directory is no program
  };
  for (const Row& row : rows) {
    fake::Reset();
    for (const char* f : row.files) fake::AddFile(f, "MZ");
    fake::SetCurrentDir("C:\\D");
    fake::OnRun([](const fake::Started& s) {
      return static_cast<long>(s.commandLine.size());
    });
    long code = plat::RunAndWait("TOOL", "TOOL 1f");
    std::string first = row.files[0];
    if (!row.found) {
      EXPECT_EQ(-1, code) << first;
      EXPECT_TRUE(fake::StartedPrograms().empty()) << first;
      continue;
    }
    EXPECT_EQ(7, code) << first;
    ASSERT_EQ(1u, fake::StartedPrograms().size()) << first;
    const fake::Started& s = fake::StartedPrograms()[0];
    EXPECT_EQ(row.found, s.program) << first;
    EXPECT_EQ("TOOL 1f", s.commandLine) << first;
    EXPECT_EQ("C:\\D", s.currentDir) << first;
    EXPECT_TRUE(s.waited) << first;
  }
}

TEST(FakeProcesses, StartAndExitLogsWithoutWaiting) {
  Prepare();
  plat::StartAndExit("NOPE", "x");
  EXPECT_FALSE(fake::ExitedAfterStart());
  plat::StartAndExit("deveject", "SELDUNAX.INI");
  EXPECT_TRUE(fake::ExitedAfterStart());
  ASSERT_EQ(1u, fake::StartedPrograms().size());
  EXPECT_FALSE(fake::StartedPrograms()[0].waited);
  EXPECT_EQ("C:\\D\\DEVEJECT.EXE", fake::StartedPrograms()[0].program);
}

TEST(FakeUser, BoxesAnswerFromTheQueueThenByStyle) {
  fake::Reset();
  fake::QueueAnswer(plat::kIdNo);
  EXPECT_EQ(plat::kIdNo, plat::ShowMessage("a", "T", plat::kMbYesNo));
  EXPECT_EQ(plat::kIdYes, plat::ShowMessage("b", "T", plat::kMbYesNo));
  EXPECT_EQ(plat::kIdOk, plat::ShowMessage("c", "T", plat::kMbOk));
  ASSERT_EQ(3u, fake::Boxes().size());
  EXPECT_EQ("b", fake::Boxes()[1].text);
  EXPECT_EQ("T", fake::Boxes()[1].title);
  EXPECT_EQ(plat::kMbYesNo, fake::Boxes()[1].style);
}

TEST(FakeUser, BroadcastsLogTheRecipientsOnEntry) {
  fake::Reset();
  fake::SetRecipientsAfterBroadcast([](uint32_t r) { return r & 1; });
  uint32_t recipients = plat::kBroadcastRecipients;
  plat::DevBroadcastDevnode rec{16, plat::kDbtDevtypDevnode, 0, 0x2a};
  EXPECT_GT(plat::BroadcastDeviceChange(plat::kBroadcastFlags, &recipients,
                                        plat::kWmDeviceChange,
                                        plat::kDbtDeviceRemovePending, &rec),
            0);
  EXPECT_EQ(1u, recipients);
  plat::BroadcastDeviceChange(plat::kBroadcastFlags, &recipients,
                              plat::kWmDeviceChange,
                              plat::kDbtDeviceRemoveComplete, &rec);
  ASSERT_EQ(2u, fake::Broadcasts().size());
  EXPECT_EQ(5u, fake::Broadcasts()[0].recipientsIn);
  EXPECT_EQ(1u, fake::Broadcasts()[1].recipientsIn);
  EXPECT_EQ(plat::kDbtDeviceRemoveComplete, fake::Broadcasts()[1].wparam);
  EXPECT_EQ(0x2au, fake::Broadcasts()[1].record.devnode);
}

}  // namespace
