#include "control/shell_folders.h"

#include "control/ascii_chars.h"
#include "control/path_helpers.h"

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

}  // namespace

const char kEnglishDesktop[] = "Desktop";
const char kEnglishStartUp[] = "Start Menu\\Programs\\StartUp";

ShellFoldersKey::ShellFoldersKey()
    : key(0),
      open(plat::OpenRegKey(plat::kHkeyCurrentUser, kShellFolders, &key) ==
           plat::kRegOk) {}

ShellFoldersKey::~ShellFoldersKey() {
  if (open) plat::CloseRegKey(key);
}

ShellFolder ReadShellFolder(const ShellFoldersKey& folders, const char* name,
                            uint32_t index, char* out) {
  out[0] = '\0';
  if (!folders.open) return ShellFolder::Absent;
  uint32_t size = kPathSize - 1;
  long result = name != nullptr
                    ? plat::QueryRegValue(folders.key, name, out, &size)
                    : plat::EnumRegValue(folders.key, index, out, &size);
  ShellFolder folder = ShellFolder::Absent;
  if (result == plat::kRegOk) {
    out[size] = '\0';
    // A relative value would name a place that depends on the current
    // directory.
    folder = IsAbsolutePath(out) ? ShellFolder::Given : ShellFolder::Unusable;
  } else if (result == plat::kRegMoreData) {
    folder = ShellFolder::Unusable;
  }
  if (folder != ShellFolder::Given) out[0] = '\0';
  return folder;
}

bool IsAbsolutePath(const char* text) {
  return (IsAsciiLetter(text[0]) && text[1] == ':' &&
          (text[2] == '\\' || text[2] == '/')) ||
         (text[0] == '\\' && text[1] == '\\');
}
