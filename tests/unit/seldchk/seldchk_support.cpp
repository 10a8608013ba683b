#include "tests/unit/seldchk/seldchk_support.h"

#include <fstream>
#include <sstream>

#include "platform/fake/fake_machine.h"
#include "seldchk/command.h"

namespace {
const char kControlPath[] = "C:\\DISK\\SELDUNAX.INI";
}  // namespace

CheckResult CheckText(const std::string& ini,
                      const std::vector<std::string>& args,
                      bool lookAtMachine, const std::string& name) {
  std::vector<std::string> all = args;
  all.push_back(name);
  CommandLine command = ParseArguments(all);
  if (!lookAtMachine) {
    // The machine of the native seldchk: a current directory only when
    // one is given.
    fake::Reset();
    if (command.currentDirectory.empty()) {
      fake::FailCalls("CurrentDirectory");
      fake::FailCalls("FullPathName");
    } else {
      fake::SetCurrentDir(command.currentDirectory);
    }
  }
  fake::SetWindowsDir(command.directories.windows);
  fake::SetSystemDir(command.directories.system);
  // The temporary directory of a PC with that Windows directory.
  fake::SetTempPath(command.directories.windows + "\\TEMP\\");
  fake::AddFile(kControlPath, ini);
  CheckResult result;
  result.exitCode = RunCheck(command, ini, kControlPath, lookAtMachine,
                             &result.output, &result.notes);
  return result;
}

std::string DataFile(const std::string& name) {
  std::ifstream in(std::string(SELDUNAX_TEST_DATA) + "/seldchk/" + name,
                   std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
