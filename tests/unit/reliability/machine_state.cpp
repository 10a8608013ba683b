#include "tests/unit/reliability/machine_state.h"

#include <cstdio>

#include "launch/entry.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/support/card_machine.h"
#include "tests/unit/support/test_support.h"

const char* const kStartupFiles[3] = {
    "C:\\AUTOEXEC.BAT", "C:\\WINDOWS\\DOSSTART.BAT", "C:\\CONFIG.SYS"};
const char kWininit[] = "C:\\WINDOWS\\WININIT.INI";

namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// The card's control file: devices, copies, deletions (one in use, one
// missing), wildcard deletions, a tree, and its own texts.
const char kControlFile[] =
    "[pnpids]\n"
    "1=VNT2300\n"
    "2=VNT2301\n"
    "[copy]\n"
    "FROM1=C:\\VANTORIS\\BACKUP\\MIDIMAP.CFG\n"
    "TO1=%WINSYS%\\MIDIMAP.CFG\n"
    "FROM2=C:\\VANTORIS\\BACKUP\\SYSTEM.INI\n"
    "TO2=%WINDIR%\\SYSTEM.INI\n"
    "[delete]\n"
    "1=%WINSYS%\\VNTWAVE.DRV\n"
    "2=%WINSYS%\\VNTMIX.VXD\n"
    "3=%WINDIR%\\VNTSETUP.INF\n"
    "4=C:\\VANTORIS\\GONE.TXT\n"
    "[multdel]\n"
    "1=%WINSYS%\\VNT*.DLL\n"
    "2=%WINDIR%\\INF\\VNT*.INF\n"
    "[deltree]\n"
    "1=C:\\VANTORIS\n"
    "[AREYOUSURE]\n"
    "1=Remove the VANTORIS drivers?\n"
    "[REBOOTNOW]\n"
    "1=Done.\n"
    "2=CR\n"
    "3=Please restart your PC.\n";

// An instance key of the card's machine; "" for one without a Driver value.
void AddDeviceInstance(const std::string& device, const std::string& instance,
                       const std::string& driver) {
  if (driver.empty()) {
    fake::AddRegKey(kIsaPnp + "\\" + device + "\\" + instance);
  } else {
    AddInstance(device, instance, driver);
  }
}

// A class driver key with its description, and its device node unless
// devnode is negative.
void AddDescribedClassDriver(const std::string& path, long devnode) {
  std::string key = kClass + "\\" + path;
  fake::AddRegKey(key);
  fake::SetRegString(key, "DriverDesc", "Sound");
  if (devnode >= 0) AddClassDriver(path, static_cast<uint32_t>(devnode));
}

}  // namespace

MachinePicture TakePicture() {
  MachinePicture picture;
  for (const std::string& path : fake::ListTree("C:\\")) {
    std::string key = Upper(path);
    if (!key.empty() && key.back() == '\\') {
      key.pop_back();
      picture.files[key] = "<dir>";
      continue;
    }
    char attributes[16];
    std::snprintf(attributes, sizeof attributes, "[%02x] ",
                  fake::Attributes(path));
    picture.files[key] = attributes + fake::ReadFile(path);
  }
  for (const std::string& line : fake::RegDump("HKLM")) {
    picture.registry.insert(line);
  }
  return picture;
}

void BuildCardMachine(const std::string& startDir) {
  fake::Reset();
  // The program, its control file and the release tool.
  WriteControlFile(startDir + "\\SELDUNAX.INI", kControlFile);
  fake::AddFile(startDir + "\\SELDUNAX.EXE", "MZ uninstaller");
  fake::AddFile(startDir + "\\DEVEJECT.EXE", "MZ release tool");
  fake::SetCurrentDir(startDir);

  // The install directory with the saved memory manager and backups.
  fake::AddFile("C:\\VANTORIS\\DOS\\EMM386.EXE", "MZ emm386 4.95");
  fake::AddFile("C:\\VANTORIS\\HALCYREN.ROM", "ROM image");
  fake::AddFile("C:\\VANTORIS\\BACKUP\\MIDIMAP.CFG", "midimap: original");
  fake::AddFile("C:\\VANTORIS\\BACKUP\\SYSTEM.INI", "[boot]\r\nsound=mmsound\r\n");
  fake::AddFile("C:\\VANTORIS\\MIXER.EXE", "MZ mixer");
  fake::AddFile("C:\\VANTORIS\\SUB\\DEEP\\README.TXT", "readme");

  // DOS start-up files naming the card.
  fake::AddFile("C:\\AUTOEXEC.BAT",
                Crlf("@ECHO OFF\n"
                     "PATH=C:\\DOS;C:\\VANTORIS\\HALCYREN.ROM;C:\\WINDOWS\n"
                     "SET HALCYRENE=C:\\VANTORIS A220 I5 D1\n"
                     "\n"
                     "C:\\VANTORIS\\HALCYREN.ROM /INIT\n"
                     "SET TEMP=C:\\WINDOWS\\TEMP\n"));
  fake::AddFile("C:\\WINDOWS\\DOSSTART.BAT",
                Crlf("REM DOS games\n"
                     "c:\\vantoris\\halcyren.rom /dos\n"
                     "LH C:\\MOUSE\\MOUSE.COM\n"));
  fake::AddFile("C:\\CONFIG.SYS",
                Crlf("DEVICE=C:\\WINDOWS\\HIMEM.SYS\n"
                     "DEVICE=C:\\VANTORIS\\DOS\\EMM386.EXE NOEMS\n"
                     "DOS=HIGH,UMB\n"));

  // Windows files: the card's drivers (one in use) and others that stay.
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\VNTWAVE.DRV", "driver");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\VNTMIX.VXD", "vxd");
  fake::SetInUse("C:\\WINDOWS\\SYSTEM\\VNTMIX.VXD", true);
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\VNT16.DLL", "dll16");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\VNT32.DLL", "dll32");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\MMSYSTEM.DLL", "keep");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\MIDIMAP.CFG", "midimap: card");
  fake::AddFile("C:\\WINDOWS\\SYSTEM.INI", "[boot]\r\nsound=vntwave.drv\r\n");
  fake::AddFile("C:\\WINDOWS\\VNTSETUP.INF", "inf");
  fake::AddFile("C:\\WINDOWS\\INF\\VNT0.INF", "inf0");
  fake::AddFile("C:\\WINDOWS\\INF\\VNT1.INF", "inf1");
  fake::AddFile("C:\\WINDOWS\\INF\\MSMEDIA.INF", "keep");
  fake::AddFile(kWininit, Crlf("[Settings]\nKeep=1\n"));

  // The card's devices, another card's device that stays, class drivers.
  AddDeviceInstance("VNT2300_DEV0000", "0", "MEDIA\\0001");
  AddDeviceInstance("VNT2300_DEV0000", "1", "MEDIA\\0002");
  AddDeviceInstance("PNPB02F", "0", "MEDIA\\0000");
  AddDeviceInstance("VNT2301_DEV0001", "0", "MEDIA\\0003");
  AddDeviceInstance("VNT2301_DEV0001", "1", "");
  AddDescribedClassDriver("MEDIA\\0000", 0x10);
  AddDescribedClassDriver("MEDIA\\0001", 0x2f);
  AddDescribedClassDriver("MEDIA\\0002", -1);
  AddDescribedClassDriver("MEDIA\\0003", 0xffffffffL);
  fake::AddRegKey("HKLM\\SOFTWARE\\Microsoft\\Windows");
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : bytes) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

namespace {

// The bytes of a picture's file (without the attribute prefix); "" when the
// picture has no such file.
std::string Bytes(const MachinePicture& picture, const std::string& path) {
  auto it = picture.files.find(Upper(path));
  if (it == picture.files.end()) return std::string();
  return it->second.substr(it->second.find(' ') + 1);
}

std::string Value(const std::map<std::string, std::string>& files,
                  const std::string& key) {
  auto it = files.find(key);
  return it == files.end() ? std::string("<absent>") : it->second;
}

}  // namespace

std::set<std::string> AllowedWininitLines(const MachinePicture& clean) {
  std::set<std::string> allowed;
  for (const std::string& line : SplitLines(Bytes(clean, kWininit))) {
    allowed.insert(line);
  }
  for (const char* path :
       {"C:\\WINDOWS\\SYSTEM\\VNTWAVE.DRV", "C:\\WINDOWS\\SYSTEM\\VNTMIX.VXD",
        "C:\\WINDOWS\\VNTSETUP.INF", "C:\\VANTORIS\\GONE.TXT"}) {
    allowed.insert(std::string("NUL=") + path);
  }
  return allowed;
}

std::string CompareWithRuns(const MachinePicture& original,
                            const MachinePicture& clean,
                            const MachinePicture& damaged,
                            const std::set<std::string>& allowedWininit) {
  std::string report;
  std::set<std::string> paths;
  for (const auto* picture : {&original, &clean, &damaged}) {
    for (const auto& file : picture->files) paths.insert(file.first);
  }
  const std::string wininit = Upper(kWininit);
  for (const std::string& path : paths) {
    if (path == wininit) continue;
    std::string now = Value(damaged.files, path);
    if (now != Value(original.files, path) && now != Value(clean.files, path)) {
      report += "  " + path + " is neither original nor cleanly removed/edited: " +
                now.substr(0, 120) + "\n";
    }
  }
  for (const std::string& line : SplitLines(Bytes(damaged, kWininit))) {
    if (line != "[rename]" && line != "[Settings]" && line != "Keep=1" &&
        !allowedWininit.count(line)) {
      report += "  WININIT.INI holds an unexpected line: " + line + "\n";
    }
  }
  if (!damaged.files.count(wininit)) report += "  WININIT.INI is gone\n";
  for (const std::string& line : damaged.registry) {
    if (!original.registry.count(line)) {
      report += "  registry line appeared: " + line + "\n";
    }
  }
  for (const std::string& line : original.registry) {
    if (!damaged.registry.count(line) && clean.registry.count(line)) {
      report += "  registry line lost that a clean run keeps: " + line + "\n";
    }
  }
  return report;
}

std::string CompareFinalStates(const MachinePicture& clean,
                               const MachinePicture& rerun) {
  std::string report;
  std::set<std::string> paths;
  for (const auto* picture : {&clean, &rerun}) {
    for (const auto& file : picture->files) paths.insert(file.first);
  }
  const std::string wininit = Upper(kWininit);
  for (const std::string& path : paths) {
    if (path == wininit) continue;
    std::string want = Value(clean.files, path);
    std::string got = Value(rerun.files, path);
    if (want != got) {
      report += "  " + path + ": " + got.substr(0, 120) + " instead of " +
                want.substr(0, 120) + "\n";
    }
  }
  std::vector<std::string> wantLines = SplitLines(Bytes(clean, kWininit));
  std::set<std::string> want(wantLines.begin(), wantLines.end());
  std::vector<std::string> gotLines = SplitLines(Bytes(rerun, kWininit));
  std::set<std::string> got(gotLines.begin(), gotLines.end());
  for (const std::string& line : want) {
    if (!got.count(line)) report += "  WININIT.INI lacks " + line + "\n";
  }
  for (const std::string& line : got) {
    if (want.count(line)) continue;
    // An entry for a file that is already gone deletes nothing.
    bool harmless = line.compare(0, 4, "NUL=") == 0 &&
                    !rerun.files.count(Upper(line.substr(4)));
    if (!harmless) report += "  WININIT.INI also holds " + line + "\n";
  }
  if (clean.registry != rerun.registry) {
    for (const std::string& line : clean.registry) {
      if (!rerun.registry.count(line)) report += "  registry lacks " + line + "\n";
    }
    for (const std::string& line : rerun.registry) {
      if (!clean.registry.count(line)) report += "  registry also has " + line + "\n";
    }
  }
  return report;
}

std::string OpenHandles() {
  std::string report;
  if (fake::OpenRegHandles() != 0) {
    report += std::to_string(fake::OpenRegHandles()) + " registry handles ";
  }
  if (fake::OpenFinds() != 0) {
    report += std::to_string(fake::OpenFinds()) + " searches ";
  }
  if (fake::OpenFiles() != 0) {
    report += std::to_string(fake::OpenFiles()) + " files ";
  }
  return report;
}

ProgramRun RunProgram(const char* commandText) {
  ProgramRun run = {0, false, std::string()};
  size_t startedBefore = fake::StartedPrograms().size();
  const std::string firstLine = std::string("SELDUNAX.EXE ") + commandText;
  run.exitCode = RunEntry(firstLine.c_str());
  // A hand-over: the copy runs on in the directory it was started in.
  const auto& started = fake::StartedPrograms();
  for (size_t i = startedBefore; i < started.size(); ++i) {
    if (started[i].waited) continue;
    run.handedOver = true;
    // The real call ends the process: nothing may follow it.
    if (std::string(fake::CallLog().back().function) != "StartAndExit") {
      run.fault = std::string("the first process went on after the hand-over: ") +
                  fake::CallLog().back().function;
    }
    if (run.exitCode != 0) run.fault += " exit code after the hand-over";
    std::string commandLine = started[i].commandLine;
    fake::SetCurrentDir(started[i].currentDir);
    run.exitCode = RunEntry(commandLine.c_str());
    break;
  }
  return run;
}
