#include "seldchk/command.h"

#include <cstring>

namespace {

bool Is(const char* arg, const char* option) { return strcmp(arg, option) == 0; }

// The error text: first and second joined, cut to fit.
void SetError(CommandLine* command, const char* first, const char* second) {
  size_t size = sizeof command->error;
  size_t length = 0;
  const char* pieces[2] = {first, second};
  for (const char* piece : pieces) {
    for (; *piece != '\0' && length + 1 < size; ++piece) {
      command->error[length++] = *piece;
    }
  }
  command->error[length] = '\0';
}

// "--windir DIR" or "--windir=DIR" into out (kPathSize bytes), without
// trailing backslashes: true when args[*i] is that option.
bool TakeDirectory(int count, const char* const* args, int* i,
                   const char* option, char* out, CommandLine* command) {
  const char* arg = args[*i];
  size_t optionLength = strlen(option);
  const char* value;
  if (Is(arg, option)) {
    value = *i + 1 < count ? args[++*i] : "";
  } else if (strncmp(arg, option, optionLength) == 0 &&
             arg[optionLength] == '=') {
    value = arg + optionLength + 1;
  } else {
    return false;
  }
  size_t length = strlen(value);
  while (length > 3 && value[length - 1] == '\\') --length;
  if (length == 0 || length >= static_cast<size_t>(kPathSize)) {
    SetError(command, option,
             length == 0 ? " needs a directory"
                         : " needs a directory of at most 255 characters");
    return true;
  }
  memcpy(out, value, length);
  out[length] = '\0';
  return true;
}

bool TakeSystem(int count, const char* const* args, int* i,
                CommandLine* command) {
  const char* arg = args[*i];
  const char* value;
  if (Is(arg, "--system")) {
    value = *i + 1 < count ? args[++*i] : "";
  } else if (strncmp(arg, "--system=", 9) == 0) {
    value = arg + 9;
  } else {
    return false;
  }
  command->systemGiven = true;
  if (Is(value, "95")) {
    command->reading = ProfileReading::Windows95;
  } else if (Is(value, "nt") || Is(value, "NT")) {
    command->reading = ProfileReading::NtFamily;
  } else {
    SetError(command, "--system needs 95 or nt", "");
  }
  return true;
}

}  // namespace

void ParseArguments(int count, const char* const* args, CommandLine* command) {
  *command = CommandLine{};
  command->reading = ProfileReading::Windows95;
  for (int i = 0; i < count && command->error[0] == '\0'; ++i) {
    const char* arg = args[i];
    if (Is(arg, "--werror")) {
      command->werror = true;
    } else if (Is(arg, "--plan")) {
      command->plan = true;
    } else if (Is(arg, "--plan=tsv")) {
      command->plan = true;
      command->planTable = true;
    } else if (Is(arg, "-h") || Is(arg, "--help") || Is(arg, "/?")) {
      command->help = true;
    } else if (TakeSystem(count, args, &i, command) ||
               TakeDirectory(count, args, &i, "--windir",
                             command->windowsDir, command) ||
               TakeDirectory(count, args, &i, "--winsys", command->systemDir,
                             command) ||
               TakeDirectory(count, args, &i, "--cwd", command->currentDir,
                             command)) {
    } else if (arg[0] == '-' && arg[1] != '\0') {
      SetError(command, "unknown option ", arg);
    } else if (command->file != nullptr) {
      SetError(command, "one control file only", "");
    } else {
      command->file = arg;
    }
  }
  if (command->error[0] == '\0' && !command->help && command->file == nullptr) {
    SetError(command, "no control file named", "");
  }
}

const char* ProgramName(const char* started) {
  const char* name = started;
  for (const char* c = started; *c != '\0'; ++c) {
    if (*c == '\\' || *c == '/' || *c == ':') name = c + 1;
  }
  return name;
}

void WriteUsage(Output* out, const char* programName) {
  WriteText(out, "usage: ");
  WriteText(out, programName);
  WriteText(out,
            " [--werror] [--plan | --plan=tsv] [--system 95|nt]\n"
            "       [--windir DIR] [--winsys DIR] [--cwd DIR] CONTROL.INI\n"
            "  --werror     exit code 2 on warnings too\n"
            "  --plan       show the run as the program would carry it out\n"
            "  --plan=tsv   the same as a tab-separated table on standard "
            "output,\n"
            "               the findings on standard error\n"
            "  --system 95|nt  read the file as Windows 95 or as Windows NT "
            "and Wine\n"
            "               read it (default: as the system this runs on; "
            "95 elsewhere)\n"
            "  --windir DIR the Windows directory for %WINDIR% (default: "
            "this PC's;\n"
            "               C:\\WINDOWS elsewhere)\n"
            "  --winsys DIR the system directory for %WINSYS% (default: "
            "this PC's;\n"
            "               C:\\WINDOWS\\SYSTEM elsewhere)\n"
            "  --cwd DIR    the directory the program is started in "
            "(default: the one\n"
            "               that holds the control file; none elsewhere)\n"
            "exit code: 0 clean, 1 warnings, 2 errors, 3 file not readable\n");
}

bool AnsweredWithoutFile(const CommandLine& command, const char* programName,
                         int* code) {
  if (command.help) {
    Output out;
    StartOutput(&out, plat::StandardStream::Output);
    WriteUsage(&out, programName);
    FlushOutput(&out);
    *code = 0;
    return true;
  }
  if (command.error[0] == '\0') return false;
  Output out;
  StartOutput(&out, plat::StandardStream::Error);
  WriteText(&out, programName);
  WriteText(&out, ": ");
  WriteText(&out, command.error);
  WriteText(&out, "\n");
  WriteUsage(&out, programName);
  FlushOutput(&out);
  *code = kCannotRead;
  return true;
}

int SplitCommandLine(char* line, char** args, int most) {
  int count = 0;
  char* read = line;
  while (*read != '\0') {
    while (*read == ' ' || *read == '\t') ++read;
    if (*read == '\0') break;
    char* write = read;
    char* start = write;
    bool quoted = false;
    for (; *read != '\0' && (quoted || (*read != ' ' && *read != '\t'));
         ++read) {
      if (*read == '"') {
        quoted = !quoted;
      } else {
        *write++ = *read;
      }
    }
    bool more = *read != '\0';
    *write = '\0';
    if (more) ++read;
    if (count < most) args[count] = start;
    ++count;
  }
  return count;
}
