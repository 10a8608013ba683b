// The checker's command line, shared by the native program (seldchk) and
// the Windows one (SELDCHK.EXE):
//
//   seldchk [--werror] [--plan | --plan=tsv] [--system 95|nt] [--windir DIR]
//           [--winsys DIR] [--cwd DIR] CONTROL.INI
#pragma once

#include <cstddef>

#include "control/path_helpers.h"
#include "platform/profile/profile_text.h"
#include "seldchk/output.h"

// Exit code when the file cannot be read or the command line is wrong.
constexpr int kCannotRead = 3;

struct CommandLine {
  bool werror;
  bool plan;
  bool planTable;  // --plan=tsv: the plan as a table, for scripts
  bool help;
  bool systemGiven;        // --system: read as that family reads
  ProfileReading reading;  // the family --system names
  // --windir, --winsys and --cwd, without a trailing backslash (but "C:\"),
  // or "" when not given.
  char windowsDir[kPathSize];
  char systemDir[kPathSize];
  char currentDir[kPathSize];
  const char* file;  // the control file as named, or null
  char error[128];   // what is wrong with the command line, or ""
};

// args are the arguments after the program's name.
void ParseArguments(int count, const char* const* args, CommandLine* command);

// The name a program was started by, without its directory.
const char* ProgramName(const char* started);

// Writes the usage under programName.
void WriteUsage(Output* out, const char* programName);

// Answers --help (usage on standard output) or a wrong command line (the
// error and the usage on standard error): true when the run ends there,
// with its exit code in *code.
bool AnsweredWithoutFile(const CommandLine& command, const char* programName,
                         int* code);

// Splits a Windows command line in place into args (at most most of them):
// at blanks outside double quotes, the quotes dropped. Returns how many
// there are, which may be more than most.
int SplitCommandLine(char* line, char** args, int most);
