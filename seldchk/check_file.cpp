#include "seldchk/check_file.h"

#include <cstring>

#include "platform/platform.h"
#include "seldchk/checker.h"
#include "seldchk/findings.h"
#include "seldchk/ini_document.h"
#include "seldchk/plan.h"
#include "seldchk/readings.h"

namespace {

// A directory of the command line, or else the platform's.
bool TakeDirectory(const char* given, uint32_t (*ask)(char*, uint32_t),
                   char* out) {
  if (given[0] != '\0') {
    memcpy(out, given, strlen(given) + 1);
    return true;
  }
  uint32_t length = ask(out, kPathSize);
  return length > 0 && length < static_cast<uint32_t>(kPathSize);
}

const char* SourceOf(const char* given, bool thisPc) {
  if (given[0] != '\0') return "given";
  return thisPc ? "this PC's" : "assumed: --windir and --winsys name others";
}

int Fail(const CheckInput& input, const char* why, const char* what) {
  Output out;
  StartOutput(&out, plat::StandardStream::Error);
  WriteText(&out, input.command->file);
  WriteText(&out, ": ");
  WriteText(&out, why);
  WriteText(&out, what);
  WriteText(&out, "\n");
  FlushOutput(&out);
  return kCannotRead;
}

// The two readings of the file and the findings; released at the end.
struct Check {
  char* ntText;
  size_t replaced;  // characters the NT family's reading turned into "?"
  IniDocument windows95;
  IniDocument ntFamily;
  Findings findings;
};

int Report(const CheckInput& input, Check* check, const Directories& dirs,
           const RunPlaces& places) {
  const CommandLine& command = *input.command;
  const IniDocument* doc = input.reading == ProfileReading::NtFamily
                               ? &check->ntFamily
                               : &check->windows95;
  CheckContext ctx{doc, input.readPath, &dirs, &places, &check->findings};
  CheckControlFile(ctx);
  CheckReadings(Readings{input.bytes, input.size, &check->windows95,
                         &check->ntFamily, check->replaced},
                &check->findings);
  Output out;
  StartOutput(&out, plat::StandardStream::Output);
  Output notes;
  StartOutput(&notes, command.planTable ? plat::StandardStream::Error
                                        : plat::StandardStream::Output);
  WriteFindings(&check->findings, command.file, &notes);
  FlushOutput(&notes);
  PlanSetting setting{doc,
                      input.readPath,
                      &dirs,
                      &places,
                      input.reading == ProfileReading::NtFamily
                          ? "as Windows NT and Wine read the file"
                          : "as Windows 95 reads the file",
                      SourceOf(command.windowsDir, input.thisPc),
                      SourceOf(command.systemDir, input.thisPc),
                      input.lookAtMachine};
  if (command.planTable) {
    WritePlanTable(setting, &out);
  } else if (command.plan) {
    WritePlan(setting, &out);
  }
  bool written = FlushOutput(&out) && !notes.failed;
  int code = ExitCodeFor(check->findings, command.werror);
  return written ? code : kCannotRead;
}

// Reads the file both ways, checks it and reports.
int CheckBothWays(const CheckInput& input, const Directories& dirs,
                  const RunPlaces& places) {
  Check check;
  check.ntText = static_cast<char*>(plat::Allocate(input.size + 1));
  check.replaced = 0;
  StartFindings(&check.findings);
  check.windows95 = IniDocument{};
  check.ntFamily = IniDocument{};
  int code = kCannotRead;
  if (check.ntText != nullptr) {
    size_t ntSize = ProfileText(input.bytes, input.size,
                                ProfileReading::NtFamily, check.ntText,
                                &check.replaced);
    if (ReadDocument(input.bytes, input.size, ProfileReading::Windows95,
                     &check.windows95) &&
        ReadDocument(check.ntText, ntSize, ProfileReading::NtFamily,
                     &check.ntFamily)) {
      code = Report(input, &check, dirs, places);
    } else {
      Fail(input, "cannot check: ", "out of memory");
    }
  } else {
    Fail(input, "cannot check: ", "out of memory");
  }
  ReleaseFindings(&check.findings);
  ReleaseDocument(&check.windows95);
  ReleaseDocument(&check.ntFamily);
  plat::Release(check.ntText);
  return code;
}

}  // namespace

int CheckFile(const CheckInput& input) {
  const CommandLine& command = *input.command;
  Directories dirs;
  if (!TakeDirectory(command.windowsDir, plat::WindowsDirectory,
                     dirs.windows) ||
      !TakeDirectory(command.systemDir, plat::SystemDirectory, dirs.system)) {
    return Fail(input, "cannot check: ", "the system tells no Windows or "
                "system directory");
  }
  dirs.systemsOwn = input.thisPc && command.windowsDir[0] == '\0' &&
                    command.systemDir[0] == '\0';
  RunPlaces places;
  FindRunPlaces(command.currentDir[0] != '\0' ? command.currentDir
                                              : input.fileDirectory,
                command.file, &places);
  // The program's guards judge relative paths in the directory of the
  // run; the checker goes back to its own afterwards.
  const RunPlace& plan = PlanPlace(places);
  char before[kPathSize];
  uint32_t length = plat::CurrentDirectory(before, kPathSize);
  bool goBack = length > 0 && length < static_cast<uint32_t>(kPathSize);
  if (plan.known && !plat::ChangeDirectory(plan.directory)) {
    return Fail(input, "cannot change to ", plan.directory);
  }
  int code = CheckBothWays(input, dirs, places);
  if (goBack) plat::ChangeDirectory(before);
  return code;
}
