#include "tests/unit/reliability/machine_state.h"

#include <cctype>
#include <cstdio>
#include <memory>

#include "launch/entry.h"
#include "platform/fake/fake_machine.h"
#include "tests/unit/support/card_machine.h"
#include "tests/unit/support/test_support.h"

const char* const kStartupFiles[3] = {
    "C:\\AUTOEXEC.BAT", "C:\\WINDOWS\\DOSSTART.BAT", "C:\\CONFIG.SYS"};
const char kWininit[] = "C:\\WINDOWS\\WININIT.INI";

namespace {

const char kSavedEmm386[] = "C:\\VANTORIS\\DOS\\EMM386.EXE";
const char kDriverDisk[] = "C:\\DISK";
// Another program's rename, pending in WININIT.INI when the run starts.
const char kOtherEntry[] =
    "C:\\WINDOWS\\SYSTEM\\OTHER.DLL=C:\\WINDOWS\\SYSTEM\\OTHER.NEW";

// What the copy list and the memory manager's restore copy: target, source.
const char* const kCopies[][2] = {
    {"C:\\WINDOWS\\SYSTEM\\MIDIMAP.CFG", "C:\\VANTORIS\\BACKUP\\MIDIMAP.CFG"},
    {"C:\\WINDOWS\\SYSTEM.INI", "C:\\VANTORIS\\BACKUP\\SYSTEM.INI"},
    {"C:\\WINDOWS\\EMM386.EXE", kSavedEmm386},
};

}  // namespace

namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// The card's control file: devices, copies, deletions (one in use, one
// missing), wildcard deletions, a tree, and its own texts. Each list but
// the copy list also names a copy's source, which it must leave while that
// copy is not made.
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
    "5=C:\\VANTORIS\\BACKUP\\SYSTEM.INI\n"
    "[multdel]\n"
    "1=%WINSYS%\\VNT*.DLL\n"
    "2=%WINDIR%\\INF\\VNT*.INF\n"
    "3=C:\\VANTORIS\\BACKUP\\*.CFG\n"
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

MachinePicture PictureAfterRestart() {
  std::shared_ptr<fake::State> before = fake::Snapshot();
  fake::Restart();
  MachinePicture picture = TakePicture();
  fake::Restore(before);
  return picture;
}

namespace {

// The program, its control file and the release tool in dir.
void AddProgram(const std::string& dir) {
  WriteControlFile(dir + "\\SELDUNAX.INI", kControlFile);
  fake::AddFile(dir + "\\SELDUNAX.EXE", "MZ uninstaller");
  fake::AddFile(dir + "\\DEVEJECT.EXE", "MZ release tool");
}

}  // namespace

void BuildCardMachine(const std::string& startDir) {
  fake::Reset();
  AddProgram(startDir);
  if (!fake::Exists(std::string(kDriverDisk) + "\\SELDUNAX.EXE")) {
    AddProgram(kDriverDisk);
  }
  fake::SetCurrentDir(startDir);

  // The install directory with the saved memory manager and backups.
  fake::AddFile(kSavedEmm386, "MZ emm386 4.95");
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
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\OTHER.DLL", "other 1.0");
  fake::AddFile("C:\\WINDOWS\\SYSTEM\\OTHER.NEW", "other 2.0");
  fake::AddFile(kWininit, Crlf(std::string("[Settings]\nKeep=1\n[rename]\n") +
                               kOtherEntry + "\n"));

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

SweepBaseline TakeBaseline(const MachinePicture& original) {
  SweepBaseline base;
  base.original = original;
  base.clean = TakePicture();
  base.cleanRestarted = PictureAfterRestart();
  return base;
}

namespace {

const std::string kAbsent = "<absent>";

std::string Value(const MachinePicture& picture, const std::string& path) {
  auto it = picture.files.find(Upper(path));
  return it == picture.files.end() ? kAbsent : it->second;
}

// The bytes of a picture's file, without the attribute prefix.
std::string Bytes(const std::string& value) {
  return value == kAbsent || value == "<dir>" ? std::string()
                                              : value.substr(value.find(' ') + 1);
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A name the program gives its own files for a moment: a temporary file
// (".$$$", ".$00" to ".$99") or a file set aside by a replacement (".~OLD",
// ".~O1" to ".~O9").
bool IsProgramsOwnName(const std::string& path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = path.substr(dot);
  return extension == ".$$$" || extension == ".~OLD" ||
         (extension.size() == 4 && extension[1] == '$' &&
          isdigit(static_cast<unsigned char>(extension[2])) &&
          isdigit(static_cast<unsigned char>(extension[3]))) ||
         (extension.size() == 4 && extension.compare(0, 3, ".~O") == 0 &&
          isdigit(static_cast<unsigned char>(extension[3])));
}

// A file that a replacement set aside for good: the old file of one that
// could not delete it as its last step, or was cut short before it (".~OLD"),
// which the next replacement of the file finds in its way and moves on
// (".~O1" to ".~O9"; rename_steps.h).
bool IsKeptAside(const std::string& path) {
  return EndsWith(path, ".~OLD") ||
         (path.size() > 4 && path.compare(path.size() - 4, 3, ".~O") == 0 &&
          isdigit(static_cast<unsigned char>(path.back())));
}

// The path that a line loading EMM386.EXE as a driver names; "" for any
// other line.
std::string LoadedEmm386(const std::string& line) {
  std::string upper = Upper(line);
  size_t start = upper.find_first_not_of(" \t");
  if (start == std::string::npos || upper.compare(start, 6, "DEVICE") != 0 ||
      upper.find("EMM386.EXE") == std::string::npos) {
    return std::string();
  }
  size_t path = upper.find_first_of("= \t", start);
  path = upper.find_first_not_of("= \t", path);
  size_t end = upper.find_first_of(" \t", path);
  return upper.substr(path, end == std::string::npos ? end : end - path);
}

// What the file at path holds: its own bytes, or, while a Windows 95
// replacement has it set aside for the length of one rename, its aside's
// (every later run puts that back first).
std::string Held(const MachinePicture& now, const std::string& path) {
  const std::string value = Value(now, path);
  return value != kAbsent ? value : Value(now, path + ".~OLD");
}

std::string CheckFiles(const SweepBaseline& base, const MachinePicture& now) {
  std::string report;
  std::set<std::string> paths;
  for (const auto* picture : {&base.original, &base.clean, &now}) {
    for (const auto& file : picture->files) paths.insert(file.first);
  }
  for (const std::string& path : paths) {
    if (path == Upper(kWininit)) continue;
    const std::string value = Held(now, path);
    const std::string original = Value(base.original, path);
    const std::string clean = Value(base.clean, path);
    if (value == original || value == clean) continue;
    // The program's own file of a moment, or a new file on its way.
    if (original == kAbsent && value != kAbsent &&
        (IsProgramsOwnName(path) ||
         Bytes(clean).compare(0, Bytes(value).size(), Bytes(value)) == 0)) {
      continue;
    }
    report += "  " + path + " is neither as it was nor as a clean run leaves it: " +
              value.substr(0, 80) + "\n";
  }
  return report;
}

std::string CheckWininit(const SweepBaseline& base, const MachinePicture& now) {
  const std::string value = Held(now, kWininit);
  if (value == kAbsent) return "  WININIT.INI is gone\n";
  std::set<std::string> allowed = {"[Settings]", "Keep=1", "[rename]"};
  for (const std::string& line : SplitLines(Bytes(Value(base.clean, kWininit)))) {
    allowed.insert(line);
  }
  std::string report;
  bool otherKept = false;
  for (const std::string& line : SplitLines(Bytes(value))) {
    otherKept = otherKept || line == kOtherEntry;
    // An entry for a [delete] path, or for a file a run cannot find.
    if (!allowed.count(line) && line.compare(0, 4, "NUL=") != 0) {
      report += "  WININIT.INI holds an unexpected line: " + line + "\n";
    }
  }
  if (!otherKept) report += "  WININIT.INI lost another program's entry\n";
  return report;
}

// CONFIG.SYS loads no EMM386.EXE that is missing or not whole.
std::string CheckMemoryManager(const SweepBaseline& base,
                               const MachinePicture& now) {
  std::string report;
  const std::string whole = Bytes(Value(base.original, kSavedEmm386));
  for (const std::string& line : SplitLines(Bytes(Held(now, "C:\\CONFIG.SYS")))) {
    const std::string loaded = LoadedEmm386(line);
    if (loaded.empty()) continue;
    const std::string value = Value(now, loaded);
    if (Bytes(value) != whole) {
      report += "  CONFIG.SYS loads " + loaded + ", which is " +
                (value == kAbsent ? "missing" : "not whole: " + Bytes(value)) +
                "\n";
    }
  }
  return report;
}

// A copy that was not made still has its source.
std::string CheckCopySources(const SweepBaseline& base,
                             const MachinePicture& now) {
  std::string report;
  for (const auto& copy : kCopies) {
    const std::string source = Bytes(Value(base.original, copy[1]));
    if (Value(now, copy[1]) == kAbsent && Bytes(Held(now, copy[0])) != source) {
      report += std::string("  ") + copy[1] + " is gone, yet " + copy[0] +
                " did not get its copy\n";
    }
  }
  return report;
}

std::string CheckRegistry(const SweepBaseline& base, const MachinePicture& now) {
  std::string report;
  for (const std::string& line : now.registry) {
    if (!base.original.registry.count(line)) {
      report += "  registry line appeared: " + line + "\n";
    }
  }
  for (const std::string& line : base.original.registry) {
    if (!now.registry.count(line) && base.clean.registry.count(line)) {
      report += "  registry line lost that a clean run keeps: " + line + "\n";
    }
  }
  return report;
}

}  // namespace

std::string CheckSound(const SweepBaseline& base, const MachinePicture& now,
                       bool restarted) {
  std::string report;
  for (const char* file : kStartupFiles) {
    const std::string value = Held(now, file);
    if (value != Value(base.original, file) && value != Value(base.clean, file)) {
      report += std::string("  ") + file + " is " +
                (value == kAbsent ? "missing" : "cut or changed: " + value.substr(0, 80)) +
                "\n";
    }
  }
  report += CheckMemoryManager(base, now);
  report += CheckCopySources(base, now);
  report += CheckRegistry(base, now);
  if (!restarted) {
    report += CheckFiles(base, now);
    report += CheckWininit(base, now);
  } else if (Bytes(Value(now, "C:\\WINDOWS\\SYSTEM\\OTHER.DLL")) != "other 2.0" &&
             Bytes(Value(now, std::string(kWininit) + ".~OLD")).find(kOtherEntry) ==
                 std::string::npos) {
    // Set aside, WININIT.INI waits for the next run to put it back.
    report += "  the restart did not carry out another program's rename\n";
  }
  return report;
}

std::string CompareRestarted(const MachinePicture& want,
                             const MachinePicture& got) {
  std::string report;
  std::set<std::string> paths;
  for (const auto* picture : {&want, &got}) {
    for (const auto& file : picture->files) paths.insert(file.first);
  }
  for (const std::string& path : paths) {
    if (EndsWith(path, "\\WININIT.BAK") || IsKeptAside(path)) continue;
    const std::string a = Value(want, path);
    const std::string b = Value(got, path);
    if (a != b) {
      report += "  " + path + ": " + b.substr(0, 80) + " instead of " +
                a.substr(0, 80) + "\n";
    }
  }
  for (const std::string& line : want.registry) {
    if (!got.registry.count(line)) report += "  registry lacks " + line + "\n";
  }
  for (const std::string& line : got.registry) {
    if (!want.registry.count(line)) report += "  registry also has " + line + "\n";
  }
  return report;
}

int KeptAsideFiles(const MachinePicture& picture) {
  int count = 0;
  for (const auto& file : picture.files) count += IsKeptAside(file.first);
  return count;
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

ProgramRun RunAgain(const std::string& startDir, const char* commandText) {
  std::string dir = kDriverDisk;
  for (const std::string& candidate : {fake::CurrentDir(), startDir}) {
    if (fake::Exists(candidate + "\\SELDUNAX.INI") &&
        fake::Exists(candidate + "\\DEVEJECT.EXE")) {
      dir = candidate;
      break;
    }
  }
  fake::SetCurrentDir(dir);
  return RunProgram(commandText);
}
