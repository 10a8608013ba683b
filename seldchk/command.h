// The checker's command line and one run over a control file's bytes,
// shared by the native program (seldchk) and the Windows one (SELDCHK.EXE).
//
//   seldchk [--werror] [--plan | --plan=tsv] [--windir DIR] [--winsys DIR]
//           [--cwd DIR] CONTROL.INI
#pragma once

#include <string>
#include <vector>

#include "seldchk/checker.h"

// Exit code when the file cannot be read or the command line is wrong.
constexpr int kCannotRead = 3;

struct CommandLine {
  bool werror = false;
  bool plan = false;
  bool planTable = false;  // --plan=tsv: the plan as a table, for scripts
  bool help = false;
  Directories directories;
  // The current directory that relative paths start from: "" for none given.
  std::string currentDirectory;
  std::string file;
  std::string error;  // what is wrong with the command line, or ""
};

CommandLine ParseArguments(const std::vector<std::string>& args);

std::string UsageText();

// Answers --help (usage on stdout) or a wrong command line (the error and
// usage on stderr, under programName): true when the run ends there, with
// its exit code in *code.
bool AnsweredWithoutFile(const CommandLine& command, const char* programName,
                         int* code);

// Checks the control file (its bytes, and the path through which the
// program's readers read it), appends the findings and the plan to out (for
// standard output) and returns the exit code: 0 clean, 1 warnings, 2 errors
// (or any finding with --werror). With the plan as a table, out holds the
// table alone and the findings go to notes (for standard error).
int RunCheck(const CommandLine& command, const std::string& bytes,
             const char* controlPath, bool lookAtMachine, std::string* out,
             std::string* notes);
