// Runs the checker over a control file on the fake machine, as seldchk does.
#pragma once

#include <string>
#include <vector>

struct CheckResult {
  int exitCode;
  std::string output;  // standard output
  std::string notes;   // standard error
};

// The control file (text as given, no line-end conversion) checked under
// the name SELDUNAX.INI with the options args. Without lookAtMachine the
// machine is the native seldchk's, which tells a current directory only
// when --cwd gives one; with it, the machine stays as the test laid it out
// and the control file lies in C:\DISK, where the program is started, as
// SELDCHK.EXE finds it.
CheckResult CheckText(const std::string& ini,
                      const std::vector<std::string>& args = {},
                      bool lookAtMachine = false,
                      const std::string& name = "SELDUNAX.INI");

// A file of tests/data/seldchk, its bytes.
std::string DataFile(const std::string& name);
