// Starting programs from the current directory (platform.h RunAndWait and
// StartAndExit).
//
// The program file is looked for in the current directory only: bareName
// with ".com", ".exe", ".bat" and ".cmd" appended, in this order, the first
// existing file (not a directory) winning. Its full path goes to
// CreateProcessA as the application name, so the system never searches
// along PATH. A ".com" or ".exe" file gets the caller's command line
// unchanged. A ".bat" or ".cmd" file cannot be started by CreateProcessA
// itself; it runs through the command interpreter named by COMSPEC
// (COMMAND.COM on Windows 95, CMD.EXE on NT) with the command line
// "<COMSPEC> /c <batch file> <arguments>", where the arguments are the
// caller's command line without its first word (the program's own name)
// and the batch file is given by its short name, which both interpreters
// accept without quotes.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_util.h"

namespace {

constexpr uint32_t kCommandSize = 1024;

enum class ProgramKind { kNone, kBinary, kBatch };

bool IsPlainFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Fills path (MAX_PATH bytes) with the program file found for bareName.
ProgramKind FindProgram(const char* bareName, char* path) {
  static const char* const kExtensions[] = {".com", ".exe", ".bat", ".cmd"};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
  if (length == 0 || length >= MAX_PATH) return ProgramKind::kNone;
  if (path[length - 1] != '\\' && !win32::AppendText(path, MAX_PATH, "\\")) {
    return ProgramKind::kNone;
  }
  const uint32_t directoryLength = win32::TextLength(path);
  for (int i = 0; i < 4; ++i) {
    path[directoryLength] = '\0';
    if (!win32::AppendText(path, MAX_PATH, bareName) ||
        !win32::AppendText(path, MAX_PATH, kExtensions[i])) {
      return ProgramKind::kNone;
    }
    if (IsPlainFile(path)) return i < 2 ? ProgramKind::kBinary
                                        : ProgramKind::kBatch;
  }
  return ProgramKind::kNone;
}

// The command line after its first word (kept with its leading blank).
const char* ArgumentsOf(const char* commandLine) {
  const char* rest = commandLine;
  if (*rest == '"') {
    ++rest;
    while (*rest != '\0' && *rest != '"') ++rest;
    if (*rest == '"') ++rest;
  } else {
    while (*rest != '\0' && *rest != ' ' && *rest != '\t') ++rest;
  }
  return rest;
}

bool HasBlank(const char* text) {
  for (; *text != '\0'; ++text) {
    if (*text == ' ') return true;
  }
  return false;
}

// Turns the found batch file into the interpreter's application name
// (replacing path) and command line.
bool BuildBatchCommand(char* path, const char* commandLine, char* command) {
  char batch[MAX_PATH];
  const DWORD shortLength = GetShortPathNameA(path, batch, MAX_PATH);
  if (shortLength == 0 || shortLength >= MAX_PATH) {
    if (!win32::CopyText(batch, MAX_PATH, path)) return false;
  }
  const DWORD comspecLength = GetEnvironmentVariableA("COMSPEC", path,
                                                      MAX_PATH);
  if (comspecLength == 0 || comspecLength >= MAX_PATH) return false;
  // Only a long name without a short form can still hold a blank; CMD.EXE
  // then needs the whole command after /c in an extra pair of quotes.
  const bool quote = HasBlank(batch);
  command[0] = '\0';
  return win32::AppendText(command, kCommandSize, quote ? "\"" : "") &&
         win32::AppendText(command, kCommandSize, path) &&
         win32::AppendText(command, kCommandSize, quote ? "\" /c \"\"" : " /c ") &&
         win32::AppendText(command, kCommandSize, batch) &&
         win32::AppendText(command, kCommandSize, quote ? "\"" : "") &&
         win32::AppendText(command, kCommandSize, ArgumentsOf(commandLine)) &&
         win32::AppendText(command, kCommandSize, quote ? "\"" : "");
}

bool StartProgram(const char* bareName, const char* commandLine,
                  PROCESS_INFORMATION* started) {
  char path[MAX_PATH];
  // CreateProcessA may write into its command line: give it a copy.
  char command[kCommandSize];
  switch (FindProgram(bareName, path)) {
    case ProgramKind::kNone:
      return false;
    case ProgramKind::kBinary:
      if (!win32::CopyText(command, kCommandSize, commandLine)) return false;
      break;
    case ProgramKind::kBatch:
      if (!BuildBatchCommand(path, commandLine, command)) return false;
      break;
  }
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  return CreateProcessA(path, command, nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, started) != FALSE;
}

}  // namespace

namespace plat {

long RunAndWait(const char* bareName, const char* commandLine) {
  PROCESS_INFORMATION started;
  if (!StartProgram(bareName, commandLine, &started)) return -1;
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD code = 0;
  const bool known = GetExitCodeProcess(started.hProcess, &code) != FALSE;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return known ? static_cast<long>(static_cast<int32_t>(code)) : -1;
}

void StartAndExit(const char* bareName, const char* commandLine) {
  PROCESS_INFORMATION started;
  if (!StartProgram(bareName, commandLine, &started)) return;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  ExitProcess(0);
}

}  // namespace plat
