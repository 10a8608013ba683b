#include "tests/unit/seldchk/seldchk_support.h"

#include <fstream>
#include <sstream>

#include "platform/fake/fake_machine.h"
#include "platform/platform.h"
#include "seldchk/check_file.h"

namespace {
const char kControlPath[] = "C:\\DISK\\SELDUNAX.INI";
}  // namespace

CheckResult CheckText(const std::string& ini,
                      const std::vector<std::string>& args,
                      bool lookAtMachine, const std::string& name) {
  std::vector<const char*> all;
  for (const std::string& arg : args) all.push_back(arg.c_str());
  all.push_back(name.c_str());
  CommandLine command;
  ParseArguments(static_cast<int>(all.size()), all.data(), &command);
  ProfileReading reading = plat::NtFamilySystem() ? ProfileReading::NtFamily
                                                  : ProfileReading::Windows95;
  if (!lookAtMachine) {
    // The machine of the native seldchk: the directories given or assumed,
    // a current directory only when one is given.
    fake::Reset();
    if (command.currentDir[0] == '\0') {
      fake::FailCalls("CurrentDirectory");
      fake::FailCalls("FullPathName");
    } else {
      fake::AddDir(command.currentDir);
    }
    std::string windows =
        command.windowsDir[0] ? command.windowsDir : "C:\\WINDOWS";
    fake::SetWindowsDir(windows);
    fake::SetSystemDir(command.systemDir[0] ? command.systemDir
                                            : "C:\\WINDOWS\\SYSTEM");
    // The temporary directory of a PC with that Windows directory.
    fake::AddDir(windows + "\\TEMP");
    fake::SetTempPath(windows + "\\TEMP\\");
    reading = command.systemGiven ? command.reading : ProfileReading::Windows95;
    fake::SetProfileReading(reading);
  }
  fake::AddFile(kControlPath, ini);
  CheckResult result;
  result.exitCode = CheckFile(CheckInput{
      &command, ini.data(), ini.size(), kControlPath,
      lookAtMachine ? "C:\\DISK" : nullptr, reading, lookAtMachine,
      lookAtMachine});
  result.output = fake::StandardOutput();
  result.notes = fake::StandardError();
  return result;
}

std::string DataFile(const std::string& name) {
  std::ifstream in(std::string(SELDUNAX_TEST_DATA) + "/seldchk/" + name,
                   std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
