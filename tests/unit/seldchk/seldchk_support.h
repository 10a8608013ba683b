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
// the name SELDUNAX.INI with the options args.
// lookAtMachine keeps the machine as the test laid it out; without it the
// machine is the native seldchk's, which tells a current directory only
// when --cwd gives one.
CheckResult CheckText(const std::string& ini,
                      const std::vector<std::string>& args = {},
                      bool lookAtMachine = false,
                      const std::string& name = "SELDUNAX.INI");

// A file of tests/data/seldchk, its bytes.
std::string DataFile(const std::string& name);
