// seldchk on POSIX hosts, where driver disks are put together. The program's
// readers run on the host machine of platform/host: the control file's
// bytes, read by the system's INI rules, the Windows and system directories
// of the command line and its current directory, if one is given.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/host/host_machine.h"
#include "seldchk/command.h"

namespace {

// The name the program's readers know the control file by.
const char kModelPath[] = "C:\\SELDCHK\\SELDUNAX.INI";

bool ReadHostFile(const std::string& name, std::string* bytes) {
  FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) return false;
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
    bytes->append(block, got);
  }
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine command =
      ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
  int code;
  if (AnsweredWithoutFile(command, "seldchk", &code)) return code;
  std::string bytes;
  if (!ReadHostFile(command.file, &bytes)) {
    std::fprintf(stderr, "seldchk: cannot read %s\n", command.file.c_str());
    return kCannotRead;
  }
  const std::string& current = command.currentDirectory;
  host::UseMachine({kModelPath, bytes.data(), bytes.size(),
                    command.directories.windows.c_str(),
                    command.directories.system.c_str(),
                    current.empty() ? nullptr : current.c_str()});
  std::string out;
  std::string notes;
  code = RunCheck(command, bytes, kModelPath, false, &out,
                  &notes);
  std::fputs(notes.c_str(), stderr);
  std::fputs(out.c_str(), stdout);
  return code;
}
