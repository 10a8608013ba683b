// Hostile input: values, lists, command lines, files, trees and registry
// names far beyond what the program expects. Each row states the sane
// outcome it checks; every row must also finish without a crash, without a
// sanitizer report and with no handle left open.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "control/builtin_messages.h"
#include "control/message.h"
#include "fileops/file_lists.h"
#include "launch/command_line.h"
#include "launch/entry.h"
#include "platform/fake/fake_machine.h"
#include "pnp/pnp_devices.h"
#include "pnp/pnp_id_list.h"
#include "tests/unit/reliability/machine_state.h"
#include "tests/unit/support/card_machine.h"
#include "tests/unit/support/test_support.h"
#include "textfile/batch_file.h"
#include "textfile/config_sys.h"
#include "textfile/wininit.h"
#include "tests/unit/support/scratch_record.h"

namespace {

// An empty machine with the program's files in C:\DISK and this control file.
void DiskMachine(const std::string& ini) {
  fake::Reset();
  fake::AddFile(kControl, ini);
  fake::AddFile("C:\\DISK\\DEVEJECT.EXE", "MZ");
  fake::SetCurrentDir("C:\\DISK");
}

void AddDeviceKeys(const std::string& device, const std::string& instance,
                   const std::string& driver) {
  AddInstance(device, instance, driver);
  AddClassDriver(driver, 0x2f);
}

std::string Expect(bool ok, const std::string& what) {
  return ok ? std::string() : what + "\n";
}

std::string Message(const char* section) {
  std::vector<char> text(kMessageBufferSize, 'x');
  LoadMessage(text.data(), kMessageKeyCount, section, kControl);
  return text.data();
}

std::vector<std::string> FileLines(const std::string& path) {
  return SplitLines(fake::ReadFile(path));
}

// A start-up file of about size bytes: numbered SET lines, with a line for
// the card every `every` lines.
std::string BigBatch(size_t size, int every, int* cardLines, int* otherLines) {
  std::string out;
  *cardLines = *otherLines = 0;
  for (int n = 0; out.size() < size; ++n) {
    if (n % every == every - 1) {
      out += "SET HALCYRENE=C:\\VANTORIS A220\r\n";
      ++*cardLines;
    } else {
      out += "SET VARIABLE" + std::to_string(n) + "=SOME VALUE OF A LINE\r\n";
      ++*otherLines;
    }
  }
  return out;
}

// A directory path of exactly length characters below C:\DEEP.
std::string DeepDir(size_t length) {
  std::string path = "C:\\DEEP";
  while (path.size() < length) {
    size_t room = length - path.size() - 1;  // one for the backslash
    path += "\\" + std::string(room < 60 ? room : 60, 'D');
    if (length - path.size() == 1) path += "E";  // never end on a lone "\"
  }
  return path.substr(0, length);
}

struct HostileRow {
  const char* id;  // the test's name
  const char* input;
  const char* outcome;
  std::function<std::string()> run;  // what went wrong; "" when sane
};

const std::vector<HostileRow>& Rows() {
  static const std::vector<HostileRow> rows = {
      {"LongDeleteValue", "[delete] value of 10,000 characters",
       "passed over whole: a file named by its first 255 characters stays, "
       "nothing is scheduled for it, key 2 is still deleted",
       [] {
         std::string value = "C:\\" + std::string(9997, 'A');
         DiskMachine("[delete]\n1=" + value + "\n2=C:\\VICTIM.TXT\n");
         fake::AddFile("C:\\VICTIM.TXT", "x");
         std::string cut = value.substr(0, 12);  // a real file on the way
         fake::AddFile(cut, "trap");
         RunDeleteList(kControl, ScratchRecord());
         return Expect(!fake::Exists("C:\\VICTIM.TXT"), "key 2 not deleted") +
                Expect(fake::Exists(cut), "a shorter name was deleted") +
                Expect(fake::ReadFile("C:\\WINDOWS\\WININIT.INI").find("AAAA") ==
                           std::string::npos,
                       "the long value was scheduled");
       }},
      {"LongCopySource", "[copy] FROM of 10,000 characters",
       "that pair is passed over, the next pair is copied",
       [] {
         DiskMachine("[copy]\nFROM1=C:\\" + std::string(9997, 'S') +
                     "\nTO1=C:\\T1.TXT\nFROM2=C:\\S2.TXT\nTO2=C:\\T2.TXT\n");
         fake::AddFile("C:\\S2.TXT", "two");
         RunCopyList(kControl, ScratchRecord());
         return Expect(!fake::Exists("C:\\T1.TXT"), "pair 1 copied") +
                Expect(fake::ReadFile("C:\\T2.TXT") == "two", "pair 2 not copied");
       }},
      {"LongPnpId", "[pnpids] value of 10,000 characters",
       "cut to its first 24 characters and matched so",
       [] {
         std::string id(10000, 'V');
         DiskMachine("[pnpids]\n1=" + id + "\n");
         AddDeviceKeys(std::string(24, 'V') + "_DEV", "0", "MEDIA\\0001");
         AddDeviceKeys(std::string(23, 'V') + "_DEV", "0", "MEDIA\\0002");
         RemovePnpDevices(kControl);
         return Expect(!fake::RegKeyExists(kIsaPnp + "\\" + std::string(24, 'V') + "_DEV"),
                       "the device of the cut id stayed") +
                Expect(fake::RegKeyExists(kIsaPnp + "\\" + std::string(23, 'V') + "_DEV"),
                       "a device the cut id does not name went");
       }},
      {"LongMessagePiece", "message piece of 10,000 characters",
       "cut to 255 characters, the next piece follows it",
       [] {
         DiskMachine("[REBOOTNOW]\n1=" + std::string(10000, 'M') + "\n2=!\n");
         return Expect(Message("REBOOTNOW") == std::string(255, 'M') + "!",
                       "message is " + Message("REBOOTNOW").substr(0, 40));
       }},
      {"ManyPnpIds", "100,000 keys in [pnpids]",
       "reading stops at the id list's limit (2036 one-character ids); ids "
       "after it match nothing",
       [] {
         std::string ini = "[pnpids]\n";
         for (int n = 1; n <= 100000; ++n) {
           ini += std::to_string(n) + "=" + (n == 2036 ? "Q" : n == 2037 ? "R" : "x") + "\n";
         }
         DiskMachine(ini);
         AddDeviceKeys("Q_DEV", "0", "MEDIA\\0001");
         AddDeviceKeys("R_DEV", "0", "MEDIA\\0002");
         std::vector<char> list(kPnpIdListSize);
         int count = ReadPnpIdList(kControl, list.data());
         RemovePnpDevices(kControl);
         return Expect(count == 2036, "read " + std::to_string(count) + " ids") +
                Expect(!fake::RegKeyExists(kIsaPnp + "\\Q_DEV"), "id 2036 unused") +
                Expect(fake::RegKeyExists(kIsaPnp + "\\R_DEV"), "id 2037 used");
       }},
      {"ManyDeltreeKeys", "3,000 keys in [deltree], all but the last naming nothing",
       "every key is read in turn (a file list has no upper bound): the tree "
       "of the last key goes",
       [] {
         // The profile reader scans the file for every key, so a file list
         // of n keys costs n squared; 3,000 keys keep this row fast.
         std::string ini = "[deltree]\n";
         for (int n = 1; n < 3000; ++n) {
           ini += std::to_string(n) + "=C:\\NONE\\" + std::to_string(n) + "\n";
         }
         ini += "3000=C:\\LAST\n";
         DiskMachine(ini);
         fake::AddFile("C:\\LAST\\SUB\\F.TXT", "f");
         RunDeltreeList(kControl, ScratchRecord());
         return Expect(!fake::Exists("C:\\LAST"), "the last tree stayed");
       }},
      {"ManyMessageKeys", "100,000 keys in a message section",
       "only keys 1 to 16 are read",
       [] {
         std::string ini = "[AREYOUSURE]\n";
         for (int n = 1; n <= 100000; ++n) ini += std::to_string(n) + "=ab\n";
         DiskMachine(ini);
         std::string want;
         for (int n = 1; n <= 16; ++n) want += "ab";
         return Expect(Message("AREYOUSURE") == want,
                       "message is " + Message("AREYOUSURE").substr(0, 40));
       }},
      {"BinaryControlFile", "NUL, 0xFF and lone CR bytes in the control file",
       "the run completes with its closing message; entries the reader finds "
       "still act",
       [] {
         std::string ini =
             "[delete]\r1=C:\\A.TXT\r2=C:\\\xff.TXT\n3=C:\\B";
         ini += '\0';
         ini += ".TXT\n[REBOOTNOW]\n1=Bye\xfe\n";
         DiskMachine(ini);
         fake::AddFile("C:\\A.TXT", "a");
         int code = RunEntry("SELDUNAX.EXE SELDUNAX.INI");
         const auto& boxes = fake::Boxes();
         return Expect(code == 0, "exit code " + std::to_string(code)) +
                Expect(!boxes.empty() && boxes.back().style == plat::kMbOk &&
                           boxes.back().text.compare(0, 3, "Bye") == 0,
                       "no closing message") +
                Expect(!fake::Exists("C:\\A.TXT"), "entry 1 did not act");
       }},
      {"TempInInstallDir", "\"c:\\VANTORIS\" as the temporary directory",
       "the relaunch is refused with the switch message and exit code 2; "
       "nothing is copied, so the copy can never relaunch itself again",
       [] {
         fake::Reset();
         fake::AddFile("C:\\VANTORIS\\SELDUNAX.INI", "[x]\n");
         fake::AddFile("C:\\VANTORIS\\SELDUNAX.EXE", "MZ");
         fake::AddFile("C:\\VANTORIS\\DEVEJECT.EXE", "MZ");
         fake::AddDir("c:\\VANTORIS\\TEMP");
         fake::SetTempPath("c:\\VANTORIS\\TEMP\\");
         fake::SetCurrentDir("C:\\VANTORIS");
         int code = RunEntry("SELDUNAX.EXE SELDUNAX.INI");
         const auto& boxes = fake::Boxes();
         return Expect(code == 2, "exit code " + std::to_string(code)) +
                Expect(boxes.size() == 1 && boxes[0].text == MSG_SWITCH_TEMP_FAILED,
                       "not the switch message") +
                Expect(fake::StartedPrograms().empty(), "a copy was started") +
                Expect(!fake::Exists("C:\\VANTORIS\\TEMP\\seldunax.exe"),
                       "the program was copied");
       }},
      {"LongCommandLine", "command line of 100,000 characters",
       "the control-file message and exit code 1",
       [] {
         DiskMachine("[x]\n");
         std::string line = "SELDUNAX.EXE " + std::string(100000, 'N');
         int code = RunEntry(line.c_str());
         return Expect(code == 1, "exit code " + std::to_string(code)) +
                Expect(fake::Boxes().size() == 1 &&
                           fake::Boxes()[0].text == MSG_NO_CONTROL_FILE,
                       "not the control-file message");
       }},
      {"LongSwitchRun", "100,000 characters of switches and blanks around a good name",
       "a normal post-install run",
       [] {
         DiskMachine("[x]\n");
         std::string line;
         while (line.size() < 100000) line += "  /POSTw95 -x /";
         line += " SELDUNAX.INI " + std::string(1000, ' ');
         int code = RunEntry(("SELDUNAX.EXE" + line).c_str());
         const auto& boxes = fake::Boxes();
         return Expect(code == 0, "exit code " + std::to_string(code)) +
                Expect(boxes.size() == 2 && boxes[0].text == MSG_CONFIRM_POSTINSTALL &&
                           boxes[1].text == MSG_REBOOT_NOW,
                       "not the post-install run");
       }},
      {"LongProgramName", "program name of 100,000 characters in quotes",
       "stripped whole; the argument after it is found",
       [] {
         std::string line = "\"" + std::string(100000, 'P') + "\"  A.INI";
         return Expect(std::string(SkipProgramName(line.c_str())) == "A.INI",
                       "wrong rest");
       }},
      {"HugeAutoexec", "AUTOEXEC.BAT of 10 MB",
       "every card line removed, every other line kept in order",
       [] {
         fake::Reset();
         int card = 0, other = 0;
         fake::AddFile("C:\\AUTOEXEC.BAT", BigBatch(10u << 20, 1000, &card, &other));
         CleanBatchFile("C:\\AUTOEXEC.BAT", kControl, ScratchRecord());
         std::vector<std::string> lines = FileLines("C:\\AUTOEXEC.BAT");
         return Expect(static_cast<int>(lines.size()) == other,
                       std::to_string(lines.size()) + " lines, expected " +
                           std::to_string(other)) +
                Expect(!lines.empty() && lines.back().find("VARIABLE") != std::string::npos,
                       "last line lost");
       }},
      {"LongBatchLine", "AUTOEXEC.BAT line of 100,000 characters",
       "held whole: only the card's PATH entry is cut out of it",
       [] {
         fake::Reset();
         std::string dirs;
         while (dirs.size() < 100000) dirs += "C:\\SOME\\DIR;";
         fake::AddFile("C:\\AUTOEXEC.BAT",
                       "PATH=" + dirs + "C:\\SND\\HALCYREN.ROM;C:\\DOS\r\nECHO " +
                           std::string(100000, 'e') + "\r\n");
         CleanBatchFile("C:\\AUTOEXEC.BAT", kControl, ScratchRecord());
         std::vector<std::string> lines = FileLines("C:\\AUTOEXEC.BAT");
         return Expect(lines.size() == 2 && lines[0] == "PATH=" + dirs + "C:\\DOS" &&
                           lines[1] == "ECHO " + std::string(100000, 'e'),
                       "long lines changed or split");
       }},
      {"CardAllOverAPathLine",
       "a PATH line of 8 MB with the card's entry after every other entry",
       "every card entry cut out in one pass, the others kept in order",
       [] {
         fake::Reset();
         std::string before = "PATH=", after = "PATH=";
         for (int n = 0; before.size() < (8u << 20); ++n) {
           std::string dir = "C:\\D" + std::to_string(n);
           before += dir + ";C:\\VANTORIS\\HALCYREN.ROM;";
           after += dir + ";";
         }
         fake::AddFile("C:\\AUTOEXEC.BAT", before + "\r\n");
         auto started = std::chrono::steady_clock::now();
         CleanBatchFile("C:\\AUTOEXEC.BAT", kControl, ScratchRecord());
         double seconds = std::chrono::duration<double>(
                              std::chrono::steady_clock::now() - started).count();
         std::vector<std::string> lines = FileLines("C:\\AUTOEXEC.BAT");
         // One memmove per entry would take minutes.
         return Expect(lines.size() == 1 && lines[0] == after, "entries wrong") +
                Expect(seconds < 30, std::to_string(seconds) + " s");
       }},
      {"HugeConfigSys", "CONFIG.SYS of 10 MB with the memory manager last",
       "that one line replaced, its long options kept, the rest kept",
       [] {
         fake::Reset();
         fake::AddFile("C:\\WINDOWS\\EMM386.EXE", "MZ");
         int card = 0, other = 0;
         std::string text = BigBatch(10u << 20, 1 << 30, &card, &other);
         const std::string options = " " + std::string(100000, 'o');
         fake::AddFile("C:\\CONFIG.SYS",
                       text + "DEVICEHIGH=C:\\VANTORIS\\DOS\\EMM386.EXE" +
                           options + "\r\n");
         FixConfigSys(ScratchRecord());
         std::vector<std::string> lines = FileLines("C:\\CONFIG.SYS");
         return Expect(static_cast<int>(lines.size()) == other + 1 &&
                           lines.back() ==
                               "DEVICE=C:\\WINDOWS\\EMM386.EXE" + options,
                       "not replaced as expected");
       }},
      {"HugeWininit", "WININIT.INI of 10 MB",
       "the entry goes right under [rename]; every other line stays",
       [] {
         fake::Reset();
         int card = 0, other = 0;
         std::string text = "[rename]\r\n" + BigBatch(10u << 20, 1 << 30, &card, &other);
         fake::AddFile("C:\\WINDOWS\\WININIT.INI", text);
         fake::AddFile("C:\\X.DRV", "x");
         ScheduleDeleteOnReboot("C:\\X.DRV");
         std::vector<std::string> lines = FileLines("C:\\WINDOWS\\WININIT.INI");
         return Expect(static_cast<int>(lines.size()) == other + 2 &&
                           lines[1] == "NUL=C:\\X.DRV",
                       "entry not added as expected");
       }},
      {"DeepTree", "[deltree] on a tree deeper than the path limit",
       "the reachable part before the deep branch goes; the entry out of reach "
       "stops its directory, which stays with everything above it; nothing is "
       "removed under a cut name",
       [] {
         DiskMachine("[deltree]\n1=C:\\DEEP\n");
         std::string deep = DeepDir(240);
         fake::AddFile("C:\\DEEP\\SHALLOW.TXT", "s");
         fake::AddFile(deep + "\\" + std::string(17, 'F'), "far");
         fake::AddFile(deep + "\\" + std::string(14, 'F'), "trap: the cut name");
         RunDeltreeList(kControl, ScratchRecord());
         return Expect(!fake::Exists("C:\\DEEP\\SHALLOW.TXT"), "reachable file stayed") +
                Expect(fake::Exists(deep + "\\" + std::string(14, 'F')),
                       "a file under the cut name went") +
                Expect(fake::Exists(deep + "\\" + std::string(17, 'F')),
                       "the far file went") +
                Expect(fake::IsDir("C:\\DEEP"), "the top went");
       }},
      {"DeepWildcard", "[multdel] matches whose paths pass the limit",
       "such a match ends the pattern; nothing is deleted under a cut name",
       [] {
         std::string deep = DeepDir(240);
         DiskMachine("[multdel]\n1=" + deep + "\\F*\n");
         fake::AddFile(deep + "\\" + std::string(17, 'F'), "far");
         fake::AddFile(deep + "\\" + std::string(14, 'F'), "trap");
         RunMultiDeleteList(kControl, ScratchRecord());
         return Expect(fake::Exists(deep + "\\" + std::string(14, 'F')),
                       "a file under the cut name went") +
                Expect(fake::Exists(deep + "\\" + std::string(17, 'F')),
                       "the far file went");
       }},
      {"DeviceName255", "device key name of 255 characters",
       "matched and removed with its class driver",
       [] {
         DiskMachine("[pnpids]\n1=VNT\n");
         std::string name = "VNT" + std::string(252, 'N');
         AddDeviceKeys(name, "0", "MEDIA\\0001");
         RemovePnpDevices(kControl);
         return Expect(!fake::RegKeyExists(kIsaPnp + "\\" + name), "stayed") +
                Expect(!fake::RegKeyExists(kClass + "\\MEDIA\\0001"),
                       "class driver stayed") +
                Expect(fake::StartedPrograms().size() == 1, "not released");
       }},
      {"DeviceName256", "device key name of 256 characters",
       "the enumeration ends at it: the match before it goes, it and the keys "
       "after it stay, nothing overflows",
       [] {
         DiskMachine("[pnpids]\n1=VNT\n");
         std::string name = "VNT" + std::string(253, 'N');
         AddDeviceKeys("VNT_FIRST", "0", "MEDIA\\0001");
         AddDeviceKeys(name, "0", "MEDIA\\0002");
         AddDeviceKeys("VNT_LAST", "0", "MEDIA\\0003");
         int result = RemovePnpDevices(kControl);
         return Expect(result == 1, "result " + std::to_string(result)) +
                Expect(!fake::RegKeyExists(kIsaPnp + "\\VNT_FIRST"), "first stayed") +
                Expect(fake::RegKeyExists(kIsaPnp + "\\" + name), "long one went") +
                Expect(fake::RegKeyExists(kClass + "\\MEDIA\\0002"),
                       "long one's class driver went");
       }},
      {"InstanceName256", "instance key name of 256 characters",
       "the instance walk ends at it; the device key still goes",
       [] {
         DiskMachine("[pnpids]\n1=VNT\n");
         AddDeviceKeys("VNT_DEV", "0", "MEDIA\\0001");
         AddDeviceKeys("VNT_DEV", std::string(256, 'I'), "MEDIA\\0002");
         RemovePnpDevices(kControl);
         return Expect(!fake::RegKeyExists(kIsaPnp + "\\VNT_DEV"), "device stayed") +
                Expect(!fake::RegKeyExists(kClass + "\\MEDIA\\0001"),
                       "first class driver stayed");
       }},
      {"LongDriverValues", "\"Driver\" values of 255 and 256 characters, unterminated",
       "each names its class driver key whole; that key is released and "
       "deleted, nothing else",
       [] {
         DiskMachine("[pnpids]\n1=VNT\n");
         std::string d255 = "MEDIA\\" + std::string(249, '5');
         std::string d256 = "MEDIA\\" + std::string(250, '6');
         for (const std::string& d : {d255, d256}) {
           std::string instance = kIsaPnp + "\\VNT_" + std::to_string(d.size()) + "\\0";
           fake::AddRegKey(instance);
           fake::SetRegValue(instance, "Driver", d, 1);
           fake::AddRegKey(kClass + "\\" + d + "\\Drivers");
         }
         fake::AddRegKey(kClass + "\\MEDIA\\" + std::string(249, '6'));
         RemovePnpDevices(kControl);
         return Expect(!fake::RegKeyExists(kClass + "\\" + d255), "255 stayed") +
                Expect(!fake::RegKeyExists(kClass + "\\" + d256), "256 stayed") +
                Expect(fake::RegKeyExists(kClass + "\\MEDIA\\" + std::string(249, '6')),
                       "a cut name went") +
                Expect(fake::RegKeyExists(kClass + "\\MEDIA"), "the class went");
       }},
  };
  return rows;
}

// gtest names a failing row by its id, not by its bytes.
void PrintTo(const HostileRow& row, std::ostream* os) { *os << row.id; }

class HostileInput : public ::testing::TestWithParam<HostileRow> {};

TEST_P(HostileInput, EndsSanely) {
  const HostileRow& row = GetParam();
  auto started = std::chrono::steady_clock::now();
  std::string problems = row.run();
  problems += Expect(OpenHandles().empty(), "left open: " + OpenHandles());
  double seconds = std::chrono::duration<double>(
                       std::chrono::steady_clock::now() - started).count();
  EXPECT_EQ(problems, "") << row.input << "\n  expected: " << row.outcome
                          << " (" << seconds << " s)";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostileInput, ::testing::ValuesIn(Rows()),
    [](const ::testing::TestParamInfo<HostileRow>& info) {
      return std::string(info.param.id);
    });

}  // namespace
