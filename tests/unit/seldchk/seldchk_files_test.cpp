#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "seldchk/command.h"
#include "seldchk/ini_document.h"
#include "tests/unit/fake/ini_table.h"
#include "tests/unit/seldchk/seldchk_support.h"

namespace {

const std::string kTableDir = std::string(SELDUNAX_TEST_DATA) + "/ini/";

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// The checker's own reading gives what the system's reader gives on the
// INI table's rows: every row whose value fits its buffer with room to
// spare, and every row where the key is not there at all.
TEST(SeldchkIniReading, AgreesWithTheReaderTable) {
  std::vector<initable::Row> rows;
  std::string error;
  ASSERT_TRUE(initable::Load(kTableDir + "lookups.tsv", &rows, &error)) << error;
  int compared = 0;
  for (ProfileReading reading :
       {ProfileReading::Windows95, ProfileReading::NtFamily}) {
    bool windows95 = reading == ProfileReading::Windows95;
    for (const initable::Row& row : rows) {
      std::string data;
      if (!initable::ReadAll(kTableDir + row.file, &data)) continue;
      const std::string& expected =
          windows95 ? row.expectedWindows95 : row.expected;
      std::string text(data.size(), '\0');
      text.resize(ProfileText(data.data(), data.size(), reading, &text[0],
                              nullptr));
      IniDocument doc;
      ASSERT_TRUE(ReadDocument(text.data(), text.size(), reading, &doc));
      const DocLine* found = FindKey(doc, FindSection(doc, row.section.c_str()),
                                     row.key.c_str());
      if (found != nullptr && found->profile.hasValue) {
        ProfileValue value = ValueOf(doc, *found);
        std::string got(value.text, value.length);
        if (got.size() + 2 < row.size) {
          EXPECT_EQ(got, expected) << initable::Name(row) << windows95;
          ++compared;
        }
      } else if (!row.defNull && row.def.size() + 2 < row.size &&
                 Trim(row.def) == row.def &&
                 row.def.find_first_of("\"'") != 0) {
        // Defaults lose trailing blanks and quotes as values do.
        EXPECT_EQ(row.def, expected)
            << initable::Name(row) << windows95 << " not found";
        ++compared;
      }
      ReleaseDocument(&doc);
    }
  }
  EXPECT_GT(compared, 100);
}

// A data file's expectation: "args: ..." , "exit: N", then the output.
struct Expectation {
  std::vector<std::string> args;
  int exitCode = -1;
  std::string output;
};

Expectation ReadExpectation(const std::string& text) {
  Expectation expectation;
  size_t first = text.find('\n');
  size_t second = text.find('\n', first + 1);
  std::string args = text.substr(6, first - 6);
  size_t pos = 0;
  while (pos < args.size()) {
    size_t end = args.find(' ', pos);
    if (end == std::string::npos) end = args.size();
    if (end > pos) expectation.args.push_back(args.substr(pos, end - pos));
    pos = end + 1;
  }
  expectation.exitCode = std::stoi(text.substr(first + 7, second - first - 7));
  expectation.output = text.substr(second + 1);
  return expectation;
}

// The files that the programs run on too (seldchk_rows.py).
TEST(SeldchkDataFiles, GiveTheirExpectedOutput) {
  const std::pair<const char*, const char*> files[] = {
      {"one_of_each", "one_of_each"}, {"clean", "clean"},
      {"limits", "limits"}, {"clean_plan", "clean"},
      {"relative", "relative"}, {"relative_cwd", "relative"},
      {"plan_table", "plan_table"}};
  for (const auto& file : files) {
    const char* stem = file.first;
    std::string expected = DataFile(std::string(stem) + ".expected");
    ASSERT_FALSE(expected.empty()) << stem;
    Expectation e = ReadExpectation(expected);
    std::string name = std::string(file.second) + ".ini";
    CheckResult result = CheckText(DataFile(name), e.args, false, name);
    EXPECT_EQ(result.output, e.output) << stem;
    EXPECT_EQ(result.exitCode, e.exitCode) << stem;
  }
}

TEST(SeldchkDataFiles, ShippedExampleChecksClean) {
  std::string example = DataFile("../../../docs/example/SELDUNAX.INI");
  ASSERT_FALSE(example.empty());
  CheckResult result = CheckText(example);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.exitCode, 0);
}

// --plan with a look at the machine: device keys that match now, files and
// directories there or not, nothing changed.
TEST(SeldchkPlan, LooksAtTheMachineWithoutChangingIt) {
  fake::Reset();
  fake::AddRegKey("HKLM\\ENUM\\ISAPNP\\VNT2300_DEV0000");
  fake::AddRegKey("HKLM\\ENUM\\ISAPNP\\VNT2300_DEV0001");
  fake::AddRegKey("HKLM\\ENUM\\ISAPNP\\OTHER0000");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\VNTWAVE.DRV", "x");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\VNTRO.DRV", "x", plat::kAttrReadOnly);
  fake::AddFile("C:\\WINDOWS\\INF\\VNT1.INF", "x");
  fake::AddFile("C:\\WINDOWS\\INF\\VNT2.INF", "x");
  fake::AddDir("C:\\VANTORIS");
  fake::AddRegKey("HKLM\\SOFTWARE\\VANTORIS\\Mixer");
  fake::SetRegString("HKCU\\Software\\VANTORIS", "Volume", "7");
  fake::AddRegKey("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  const std::string ini =
      "[pnpids]\n1=VNT2300_DEV\n2=vnt2300\n"
      "[copy]\nFROM1=C:\\VANTORIS\\MIDIMAP.CFG\nTO1=%WINSYS%\\MIDIMAP.CFG\n"
      "[delete]\n1=%WINSYS%\\VNTWAVE.DRV\n2=%WINSYS%\\VNTRO.DRV\n"
      "3=%WINSYS%\\VNTGONE.DRV\n"
      "[multdel]\n1=%WINDIR%\\INF\\VNT*.INF\n2=%WINDIR%\\*.*\n"
      "[deltree]\n1=C:\\VANTORIS\n2=C:\\VNTOLD\n"
      "[REBOOTNOW]\n1=Bye\n"
      "[regdel]\n1=HKLM\\SOFTWARE\\VANTORIS\n2=HKCU\\Software\\VANTORIS,"
      "Volume\n"
      "3=HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run,VNTMIX\n"
      "4=HKLM\\SOFTWARE\\VNTGONE\n"
      "[TITLE]\n1=VANTORIS 64\n[POSTREBOOTNOW]\n1=Later\n";
  fake::AddFile("C:\\DISK\\SELDUNAX.INI", ini);
  auto before = fake::Snapshot();
  auto registryBefore = fake::RegDump("HKCU");
  CheckResult result = CheckText(ini, {"--plan"}, true);
  const std::string plan =
      "SELDUNAX.INI:3: warning: [pnpids] key 2: \"vnt2300\" has small "
      "letters: an id matches the names of device keys letter case and all, "
      "and Windows names them in capitals; write \"VNT2300\"\n"
      "SELDUNAX.INI:13: error: [multdel] key 2: C:\\WINDOWS\\*.* names every "
      "file of a protected directory: the program passes it over\n"
      "plan of a full uninstall as Windows 95 reads the file, after Yes to "
      "the built-in text:\n"
      "  Windows directory C:\\WINDOWS, system directory C:\\WINDOWS\\SYSTEM "
      "(this PC's)\n"
      "  started in C:\\DISK, it reads C:\\DISK\\SELDUNAX.INI\n"
      "  1. device keys below HKEY_LOCAL_MACHINE\\ENUM\\ISAPNP beginning with "
      "an id, with their driver keys:\n"
      "       VNT2300_DEV (line 2): matches now: VNT2300_DEV0000, "
      "VNT2300_DEV0001\n"
      "       vnt2300 (line 3): matches no device key now\n"
      "  2. C:\\VANTORIS\\DOS\\EMM386.EXE copied to C:\\WINDOWS\\EMM386.EXE "
      "unless one is there\n"
      "  3. C:\\AUTOEXEC.BAT cleaned of HALCYREN.ROM, HALCYRENE and the "
      "[dosclean] words:\n"
      "       (no words of its own)\n"
      "  4. C:\\WINDOWS\\DOSSTART.BAT cleaned of the same words\n"
      "  5. C:\\CONFIG.SYS loads EMM386.EXE from C:\\WINDOWS\n"
      "  6. [copy]:\n"
      "       C:\\VANTORIS\\MIDIMAP.CFG -> C:\\WINDOWS\\SYSTEM\\MIDIMAP.CFG "
      "(line 5): the source is not there, the copy fails\n"
      "  7. [delete] (what cannot be deleted now goes to WININIT.INI):\n"
      "       C:\\WINDOWS\\SYSTEM\\VNTWAVE.DRV (line 8): there: deleted now, "
      "or entered in WININIT.INI while in use\n"
      "       C:\\WINDOWS\\SYSTEM\\VNTRO.DRV (line 9): read-only: entered in "
      "WININIT.INI\n"
      "       C:\\WINDOWS\\SYSTEM\\VNTGONE.DRV (line 10): not there: nothing "
      "to delete, now or at the next start\n"
      "  8. [multdel]:\n"
      "       C:\\WINDOWS\\INF\\VNT*.INF (line 12): matches 2 entries now\n"
      "       key 2 (line 13): passed over (every file of a protected "
      "directory)\n"
      "  9. [deltree]:\n"
      "       C:\\VANTORIS (line 15): there\n"
      "       C:\\VNTOLD (line 16): not there\n"
      "  10. [regdel] (registry keys with everything below them, and single "
      "values):\n"
      "       HKLM\\SOFTWARE\\VANTORIS (line 20): there\n"
      "       HKCU\\Software\\VANTORIS,Volume (line 21): there\n"
      "       HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run,VNTMIX "
      "(line 22): not there\n"
      "       HKLM\\SOFTWARE\\VNTGONE (line 23): not there\n"
      "  closing message: [REBOOTNOW] (line 18)\n"
      "  box title once the control file is read: \"VANTORIS 64\", [TITLE] "
      "(line 25)\n"
      "with /POSTw95: step 1 only, after Yes to the built-in text; closing "
      "message: [POSTREBOOTNOW] (line 27)\n";
  EXPECT_EQ(result.output, plan);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(fake::Describe(fake::Snapshot()), fake::Describe(before));
  EXPECT_EQ(fake::RegDump("HKCU"), registryBefore);
  EXPECT_EQ(fake::OpenFinds(), 0);
  EXPECT_EQ(fake::OpenRegHandles(), 0);
}

// SELDCHK.EXE on the machine it runs on: its reading, its Windows and system
// directories, its shared folders, the directory that holds the control
// file.
TEST(SeldchkPlan, FollowsTheMachineItRunsOn) {
  fake::Reset();
  fake::SetProfileReading(ProfileReading::NtFamily);
  fake::AddDir("C:\\windows\\system32");
  fake::AddDir("C:\\windows\\temp");
  fake::SetWindowsDir("C:\\windows");
  fake::SetSystemDir("C:\\windows\\system32");
  fake::SetTempPath("C:\\windows\\temp\\");
  fake::SetRegString("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                     "Explorer\\Shell Folders",
                     "Programs", "C:\\windows\\Startmen\xfc\\Programme");
  const std::string ini = "\xef\xbb\xbf[delete]\n1=%WINSYS%\\VNTSYS.DRV\n"
                          "2=%WINSYS%\\" + std::string(236, 'N') + "\n"
                          "[deltree]\n1=%PROGRAMS%\\VANTORIS\n";
  CheckResult result = CheckText(ini, {"--plan"}, true);
  const std::string plan =
      "SELDUNAX.INI:1: error: the file begins with a UTF-8 byte-order mark: "
      "Windows 95 reads it as ANSI text, the mark as three characters of its "
      "first line, and Windows NT and Wine as UTF-8 text: the two act on "
      "different entries ([delete] key 1 is \"%WINSYS%\\VNTSYS.DRV\" for "
      "Windows NT and Wine, and nothing for Windows 95); save the file as "
      "ANSI text\n"
      "SELDUNAX.INI:3: warning: [delete] key 2: with %WINSYS% as "
      "C:\\windows\\system32 the path has 256 characters: the program passes "
      "over a path of more than 255\n"
      "plan of a full uninstall as Windows NT and Wine read the file, after "
      "Yes to the built-in text:\n"
      "  Windows directory C:\\windows, system directory "
      "C:\\windows\\system32 (this PC's)\n"
      "  started in C:\\DISK, it reads C:\\DISK\\SELDUNAX.INI\n";
  EXPECT_EQ(result.output.substr(0, plan.size()), plan);
  EXPECT_NE(result.output.find("C:\\windows\\system32\\VNTSYS.DRV (line 2): "
                               "not there"),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("C:\\windows\\Startmen\xfc\\Programme\\VANTORIS "
                               "(line 5): not there"),
            std::string::npos)
      << result.output;
  EXPECT_EQ(result.exitCode, 2);
}

// Whichever allocation the heap refuses, the check says it cannot check
// (exit 3) or gives what it found and how many findings it lost (exit 2):
// never a run that looks cleaner than the file is.
TEST(SeldchkHeap, RefusedAtEachAllocation) {
  const std::string ini = "[pnpids]\n1=VNT2300\n[delete]\n1=C:\\A\n3=C:\\C\n"
                          "4=C:\\D\n5=C:\\E\n[deltre]\n1=x\n";
  long allocations = 0;
  fake::Reset();
  fake::FailWhen([&allocations](const fake::Call& call) {
    allocations += std::string(call.function) == "Allocate";
    return false;
  });
  CheckResult whole = CheckText(ini, {}, true);
  ASSERT_EQ(whole.exitCode, 1);
  ASSERT_GT(allocations, 3);
  for (long refused = 1; refused <= allocations; ++refused) {
    fake::Reset();
    long seen = 0;
    fake::FailWhen([&seen, refused](const fake::Call& call) {
      return std::string(call.function) == "Allocate" && ++seen >= refused;
    });
    CheckResult result = CheckText(ini, {}, true);
    std::string all = result.output + result.notes;
    bool told = all.find("out of memory") != std::string::npos;
    EXPECT_TRUE(told) << "allocation " << refused << ": " << all;
    EXPECT_TRUE(result.exitCode == 2 || result.exitCode == kCannotRead)
        << "allocation " << refused << ": exit " << result.exitCode;
  }
}

TEST(SeldchkCommandLine, Arguments) {
  struct Row {
    std::vector<const char*> args;
    std::string error;
    std::string file;
    std::string windows;
    std::string system;
    bool werror;
    bool plan;
    bool help;
  };
  const std::string W = "";
  const std::string S = "";
  const std::string p255 = "C:\\" + std::string(252, 'W');
  const std::string p256 = p255 + "W";
  const Row rows[] = {
      {{"A.INI"}, "", "A.INI", W, S, false, false, false},
      {{"--werror", "--plan", "A.INI"}, "", "A.INI", W, S, true, true, false},
      {{"--windir", "D:\\WIN\\", "A.INI"}, "", "A.INI", "D:\\WIN", S, false, false, false},
      {{"--winsys=D:\\W\\S", "A.INI"}, "", "A.INI", W, "D:\\W\\S", false, false, false},
      {{"--windir=D:\\", "A.INI"}, "", "A.INI", "D:\\", S, false, false, false},
      {{"--windir", p255.c_str(), "A.INI"}, "", "A.INI", p255, S, false, false, false},
      {{"--windir", p256.c_str(), "A.INI"}, "--windir needs a directory of at most 255 characters", "", W, S, false, false, false},
      {{"A.INI", "--windir"}, "--windir needs a directory", "A.INI", W, S, false, false, false},
      {{"--windir=", "A.INI"}, "--windir needs a directory", "", W, S, false, false, false},
      {{}, "no control file named", "", W, S, false, false, false},
      {{"A.INI", "B.INI"}, "one control file only", "A.INI", W, S, false, false, false},
      {{"--quiet", "A.INI"}, "unknown option --quiet", "", W, S, false, false, false},
      {{"--system", "win"}, "--system needs 95 or nt", "", W, S, false, false, false},
      {{"/?"}, "", "", W, S, false, false, true},
      {{"-h"}, "", "", W, S, false, false, true},
      {{"--help", "A.INI"}, "", "A.INI", W, S, false, false, true},
  };
  for (const Row& row : rows) {
    CommandLine command;
    ParseArguments(static_cast<int>(row.args.size()), row.args.data(),
                   &command);
    std::string label = row.args.empty() ? "(none)" : row.args[0];
    EXPECT_EQ(std::string(command.error), row.error) << label;
    EXPECT_EQ(std::string(command.file ? command.file : ""), row.file) << label;
    EXPECT_EQ(std::string(command.windowsDir), row.windows) << label;
    EXPECT_EQ(std::string(command.systemDir), row.system) << label;
    EXPECT_EQ(command.werror, row.werror) << label;
    EXPECT_EQ(command.plan, row.plan) << label;
    EXPECT_EQ(command.help, row.help) << label;
  }
}

}  // namespace
