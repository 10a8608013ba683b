// SELDCHK.EXE, the Windows console program: the program's readers are the
// system's own, reading the control file where it lies, and --plan also
// looks at this machine. Relative paths start from its current directory,
// or from the one --cwd names once the control file is read.
#include <cstdio>
#include <string>
#include <vector>

#include "control/path_helpers.h"
#include "platform/platform.h"
#include "seldchk/command.h"

namespace {

bool IsAbsolute(const std::string& name) {
  return (name.size() >= 2 && name[1] == ':') ||
         (!name.empty() && (name[0] == '\\' || name[0] == '/'));
}

// The full path that the system's INI reader needs (a bare name would be
// looked for in the Windows directory).
std::string FullPath(const std::string& name) {
  if (IsAbsolute(name)) return name;
  char current[kPathSize];
  uint32_t length = plat::CurrentDirectory(current, sizeof current);
  if (length == 0 || length >= sizeof current) return name;
  std::string path(current, length);
  if (path.back() != '\\') path += '\\';
  return path + name;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  plat::FileHandle file = plat::OpenForRead(path.c_str());
  if (file == plat::kNoFile) return false;
  char block[4096];
  long got;
  while ((got = plat::ReadBytes(file, block, sizeof block)) > 0) {
    bytes->append(block, static_cast<size_t>(got));
  }
  plat::CloseFile(file);
  return got == 0;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine command =
      ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
  int code;
  if (AnsweredWithoutFile(command, "SELDCHK", &code)) return code;
  std::string path = FullPath(command.file);
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) {
    std::fprintf(stderr, "SELDCHK: cannot read %s\n", command.file.c_str());
    return kCannotRead;
  }
  const std::string& current = command.currentDirectory;
  if (!current.empty() && !plat::ChangeDirectory(current.c_str())) {
    std::fprintf(stderr, "SELDCHK: cannot change to %s\n", current.c_str());
    return kCannotRead;
  }
  std::string out;
  std::string notes;
  code = RunCheck(command, bytes, path.c_str(), true, &out,
                  &notes);
  std::fputs(notes.c_str(), stderr);
  std::fputs(out.c_str(), stdout);
  return code;
}
