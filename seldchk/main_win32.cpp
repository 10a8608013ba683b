// SELDCHK.EXE, the Windows console program: the program's readers are the
// system's own, reading the control file where it lies, and --plan also
// looks at this machine. Linked without the C run-time library, as
// SELDUNAX.EXE is (seldunax/main.cpp), so that it starts on any Windows 95
// PC: nothing runs before this entry, and there are no global objects to
// construct.
#include <windows.h>

#include <cstring>

#include "platform/platform.h"
#include "seldchk/check_file.h"
#include "seldchk/heap_block.h"

namespace {

// More than any use of the command line needs.
constexpr int kMostArguments = 32;

void Say(const char* program, const char* what, const char* name,
         const char* why) {
  Output out;
  StartOutput(&out, plat::StandardStream::Error);
  WriteText(&out, program);
  WriteText(&out, what);
  WriteText(&out, name);
  WriteText(&out, why);
  WriteText(&out, "\n");
  FlushOutput(&out);
}

// The file's bytes into *bytes (on the heap); false when it cannot be read.
bool ReadWholeFile(const char* path, char** bytes, size_t* size) {
  plat::FileHandle file = plat::OpenForRead(path);
  if (file == plat::kNoFile) return false;
  size_t capacity = 0;
  *size = 0;
  long got = 0;
  for (;;) {
    void* grown = GrownBlock(*bytes, &capacity, *size, *size + 4096, 1);
    if (grown == nullptr) {
      got = -1;
      break;
    }
    *bytes = static_cast<char*>(grown);
    got = plat::ReadBytes(file, *bytes + *size, 4096);
    if (got <= 0) break;
    *size += static_cast<size_t>(got);
  }
  plat::CloseFile(file);
  return got == 0;
}

int Run(char* commandLine) {
  char* args[kMostArguments];
  int count = SplitCommandLine(commandLine, args, kMostArguments);
  const char* program = count > 0 ? ProgramName(args[0]) : "SELDCHK";
  if (count > kMostArguments) {
    Say(program, ": too many arguments", "", "");
    return kCannotRead;
  }
  CommandLine command;
  ParseArguments(count - 1, args + 1, &command);
  int code;
  if (AnsweredWithoutFile(command, program, &code)) return code;
  ProfileReading reading = plat::NtFamilySystem() ? ProfileReading::NtFamily
                                                  : ProfileReading::Windows95;
  if (command.systemGiven && command.reading != reading) {
    Say(program, ": --system: this PC reads the file as ",
        reading == ProfileReading::NtFamily ? "Windows NT does"
                                            : "Windows 95 does",
        "; the native seldchk reads it either way");
    return kCannotRead;
  }
  // The full path that the system's INI reader needs (a bare name would be
  // looked for in the Windows directory).
  char path[kPathSize];
  uint32_t length = plat::FullPathName(command.file, path, kPathSize);
  if (length == 0 || length >= static_cast<uint32_t>(kPathSize)) {
    Say(program, ": cannot read ", command.file, ": the name is too long");
    return kCannotRead;
  }
  uint32_t attributes = plat::FileAttributes(path);
  if (attributes != plat::kInvalidAttributes &&
      (attributes & plat::kAttrDirectory)) {
    Say(program, ": cannot read ", command.file, ": is a directory");
    return kCannotRead;
  }
  char* bytes = nullptr;
  size_t size = 0;
  if (!ReadWholeFile(path, &bytes, &size)) {
    Say(program, ": cannot read ", command.file,
        attributes == plat::kInvalidAttributes ? ": not found" : "");
    plat::Release(bytes);
    return kCannotRead;
  }
  char directory[kPathSize];
  memcpy(directory, path, length + 1);
  *strrchr(directory, '\\') = '\0';
  if (directory[2] == '\0') memcpy(directory + 2, "\\", 2);  // a root
  code = CheckFile(CheckInput{&command, bytes, size, path, directory, reading,
                              true, true});
  plat::Release(bytes);
  return code;
}

}  // namespace

// The linker's default entry point name for a Windows console program; kept
// and named when the program is optimised as a whole.
extern "C" __attribute__((used, externally_visible)) void mainCRTStartup() {
  const char* line = GetCommandLineA();
  size_t length = strlen(line);
  char* copy = static_cast<char*>(plat::Allocate(length + 1));
  int code = kCannotRead;
  if (copy != nullptr) {
    memcpy(copy, line, length + 1);
    code = Run(copy);
    plat::Release(copy);
  }
  ExitProcess(static_cast<UINT>(code));
}
