#include "seldchk/command.h"

#include <cstdio>

#include "seldchk/plan.h"

namespace {

// "--windir DIR" or "--windir=DIR": true when arg is that option, with
// its value in *value (or an error in command->error).
bool TakeValue(const std::vector<std::string>& args, size_t* i,
               const std::string& option, std::string* value,
               CommandLine* command) {
  const std::string& arg = args[*i];
  if (arg == option) {
    if (*i + 1 >= args.size()) {
      command->error = option + " needs a directory";
      return true;
    }
    *value = args[++*i];
  } else if (arg.compare(0, option.size() + 1, option + "=") == 0) {
    *value = arg.substr(option.size() + 1);
  } else {
    return false;
  }
  while (value->size() > 3 && value->back() == '\\') value->pop_back();
  if (value->empty()) command->error = option + " needs a directory";
  return true;
}

}  // namespace

CommandLine ParseArguments(const std::vector<std::string>& args) {
  CommandLine command;
  for (size_t i = 0; i < args.size() && command.error.empty(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--werror") {
      command.werror = true;
    } else if (arg == "--plan") {
      command.plan = true;
    } else if (arg == "--plan=tsv") {
      command.plan = true;
      command.planTable = true;
    } else if (arg == "-h" || arg == "--help") {
      command.help = true;
    } else if (TakeValue(args, &i, "--windir", &command.directories.windows,
                         &command) ||
               TakeValue(args, &i, "--winsys", &command.directories.system,
                         &command) ||
               TakeValue(args, &i, "--cwd", &command.currentDirectory,
                         &command)) {
    } else if (arg.size() > 1 && arg[0] == '-') {
      command.error = "unknown option " + arg;
    } else if (!command.file.empty()) {
      command.error = "one control file only";
    } else {
      command.file = arg;
    }
  }
  if (command.error.empty() && !command.help && command.file.empty()) {
    command.error = "no control file named";
  }
  return command;
}

std::string UsageText() {
  return "usage: seldchk [--werror] [--plan | --plan=tsv] [--windir DIR] "
         "[--winsys DIR] [--cwd DIR] CONTROL.INI\n"
         "  --werror     exit code 2 on warnings too\n"
         "  --plan       show the run as the program would carry it out\n"
         "  --plan=tsv   the same as a tab-separated table on standard output,\n"
         "               the findings on standard error\n"
         "  --windir DIR the Windows directory for %WINDIR% "
         "(default C:\\WINDOWS)\n"
         "  --winsys DIR the system directory for %WINSYS% "
         "(default C:\\WINDOWS\\SYSTEM)\n"
         "  --cwd DIR    the current directory that relative paths start from "
         "(default:\n"
         "               none for seldchk, SELDCHK.EXE's own)\n"
         "exit code: 0 clean, 1 warnings, 2 errors, 3 file not readable\n";
}

bool AnsweredWithoutFile(const CommandLine& command, const char* programName,
                         int* code) {
  if (command.help) {
    std::fputs(UsageText().c_str(), stdout);
    *code = 0;
    return true;
  }
  if (!command.error.empty()) {
    std::fprintf(stderr, "%s: %s\n%s", programName, command.error.c_str(),
                 UsageText().c_str());
    *code = kCannotRead;
    return true;
  }
  return false;
}

int RunCheck(const CommandLine& command, const std::string& bytes,
             const char* controlPath, bool lookAtMachine, std::string* out,
             std::string* notes) {
  IniDocument doc = ParseIni(bytes);
  Findings findings;
  ControlRead read =
      CheckControlFile(doc, controlPath, command.directories, &findings);
  std::string* findingsOut = command.planTable ? notes : out;
  for (const std::string& line : FormatFindings(findings, command.file)) {
    *findingsOut += line + "\n";
  }
  if (command.planTable) {
    *out += PlanTable(read, command.directories);
  } else if (command.plan) {
    *out += DescribePlan(read, command.directories, lookAtMachine);
  }
  return ExitCodeFor(findings, command.werror);
}
