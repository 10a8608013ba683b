// seldchk on POSIX hosts, where driver disks are put together. The program's
// readers run on the in-memory machine of the platform layer, which reads
// INI files by the system's rules: the control file's bytes are laid into
// it, with the Windows and system directories of the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "seldchk/command.h"

namespace {

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
  fake::Reset();
  fake::KeepCallLog(false);
  fake::SetWindowsDir(command.directories.windows);
  fake::SetSystemDir(command.directories.system);
  // The temporary directory of a PC with that Windows directory.
  fake::SetTempPath(command.directories.windows + "\\TEMP\\");
  fake::AddFile(kModelPath, bytes);
  std::string out;
  code = RunCheck(command, bytes, kModelPath, false, &out);
  std::fputs(out.c_str(), stdout);
  return code;
}
