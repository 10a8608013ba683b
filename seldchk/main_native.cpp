// seldchk on POSIX hosts, where driver disks are put together. The program's
// readers run on the host machine of platform/host: the control file's
// text as the reading of --system takes it, the Windows and system
// directories of the command line, and its current directory, if one is
// given.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/host/host_machine.h"
#include "platform/platform.h"
#include "seldchk/check_file.h"
#include "seldchk/heap_block.h"

namespace {

// The name the program's readers know the control file by.
const char kModelPath[] = "C:\\SELDCHK\\SELDUNAX.INI";

// The file's bytes into *bytes (on the heap); "" or why it cannot be read.
const char* ReadHostFile(const char* name, char** bytes, size_t* size) {
  struct stat status;
  if (stat(name, &status) == 0 && S_ISDIR(status.st_mode)) {
    return "is a directory";
  }
  FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return errno == ENOENT ? "not found" : strerror(errno);
  size_t capacity = 0;
  *size = 0;
  const char* why = "";
  for (;;) {
    void* grown = GrownBlock(*bytes, &capacity, *size, *size + 4096, 1);
    if (grown == nullptr) {
      why = "out of memory";
      break;
    }
    *bytes = static_cast<char*>(grown);
    size_t got = std::fread(*bytes + *size, 1, 4096, file);
    *size += got;
    if (got < 4096) {
      if (std::ferror(file)) why = strerror(errno);
      break;
    }
  }
  std::fclose(file);
  return why;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine command;
  ParseArguments(argc - 1, argv + 1, &command);
  const char* program = ProgramName(argv[0]);
  int code;
  if (AnsweredWithoutFile(command, program, &code)) return code;
  char* bytes = nullptr;
  size_t size = 0;
  const char* why = ReadHostFile(command.file, &bytes, &size);
  if (why[0] != '\0') {
    std::fprintf(stderr, "%s: cannot read %s: %s\n", program, command.file,
                 why);
    plat::Release(bytes);
    return kCannotRead;
  }
  ProfileReading reading =
      command.systemGiven ? command.reading : ProfileReading::Windows95;
  char* text = static_cast<char*>(plat::Allocate(size + 1));
  if (text == nullptr) {
    std::fprintf(stderr, "%s: cannot check %s: out of memory\n", program,
                 command.file);
    plat::Release(bytes);
    return kCannotRead;
  }
  size_t textSize = ProfileText(bytes, size, reading, text, nullptr);
  host::UseMachine(
      {kModelPath, text, textSize, reading,
       command.windowsDir[0] ? command.windowsDir : "C:\\WINDOWS",
       command.systemDir[0] ? command.systemDir : "C:\\WINDOWS\\SYSTEM",
       command.currentDir[0] ? command.currentDir : nullptr});
  code = CheckFile(CheckInput{&command, bytes, size, kModelPath, nullptr,
                              reading, false, false});
  plat::Release(text);
  plat::Release(bytes);
  return code;
}
