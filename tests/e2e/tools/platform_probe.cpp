// End-to-end check of the Win32 platform layer (platform/win32) on a real
// system or under Wine: registry subtree deletion, the program search of
// RunAndWait/StartAndExit, file replacement, refusals that Wine would not
// make by itself, byte I/O and directory searches; and, through the
// program's own path functions on this layer, the spelling table
// (tests/data/paths/spellings.tsv, see spelling_table.h) held to what the
// system resolves, and the guard's shared folders as the registry names
// them. Works in a scratch directory below the temporary directory, in
// C:\SPELLTAB (the table's own place) and a scratch key below
// HKLM\Software. The thin pass-through calls are left to the end-to-end
// runs of the program.
//
//   platform_probe [TABLEDIR] runs every check, the spelling table's when
//                             its directory is given (a Windows path or,
//                             under Wine, a Unix one); exit code 0 when all
//                             pass
//   platform_probe child N [marker]
//                             stand-in program for the process checks: exits
//                             with N plus 100 when started as a .com file,
//                             200 as a .exe file; creates marker if given
//   platform_probe handover NAME
//                             calls StartAndExit(NAME, "NAME child 0 marker")
//                             and exits with 3 when that returns
//   platform_probe links DIR  the directory links the caller laid out in DIR
//                             (see CheckLinks); exit code 0 when all pass
//   platform_probe system-dir prints the system directory this build's
//                             programs see, and below it the one that holds
//                             its files as 64-bit programs name it
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include <string>
#include <vector>

#include "fileops/list_targets.h"
#include "platform/platform.h"
#include "platform/win32/win32_util.h"
#include "tests/unit/fileops/spelling_table.h"
#include "platform/win32/rename_steps.h"

namespace {

int failures = 0;

void Check(bool ok, const char* group, const char* row, const char* what) {
  if (!ok) {
    ++failures;
    std::printf("FAIL %s [%s]: %s\n", group, row, what);
  }
}

// ------------------------------------------------------------ scratch area

char scratch[MAX_PATH];  // with a final backslash
char self[MAX_PATH];

void ScratchPath(const char* name, char* out) {
  std::snprintf(out, MAX_PATH, "%s%s", scratch, name);
}

void WriteFileText(const char* path, const char* text) {
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path);
  const plat::FileHandle file = plat::CreateNewFile(path);
  plat::WriteBytes(file, text, static_cast<uint32_t>(std::strlen(text)));
  plat::CloseFile(file);
}

// The whole file as text ("<absent>" when it cannot be opened).
const char* ReadFileText(const char* path) {
  static char text[4096];
  const plat::FileHandle file = plat::OpenForRead(path);
  if (file == plat::kNoFile) return "<absent>";
  const long got = plat::ReadBytes(file, text, sizeof text - 1);
  plat::CloseFile(file);
  text[got < 0 ? 0 : got] = '\0';
  return text;
}

void RemoveScratchFile(const char* name) {
  char path[MAX_PATH];
  ScratchPath(name, path);
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileA(path)) RemoveDirectoryA(path);
}

// -------------------------------------------------------------- registry

const char kProbeKey[] = "Software\\SeldunaxProbe";

void AddKey(const char* path) {
  HKEY key;
  char full[512];
  std::snprintf(full, sizeof full, "%s\\%s", kProbeKey, path);
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, full, 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) == ERROR_SUCCESS) {
    RegSetValueExA(key, "Value", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);
  }
}

bool KeyExists(const char* path) {
  HKEY key;
  char full[512];
  std::snprintf(full, sizeof full, "%s\\%s", kProbeKey, path);
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, full, 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

void CheckDeleteRegTree() {
  struct Row {
    const char* name;
    const char* keys[8];  // created below the probe key
    const char* remove;   // deleted with DeleteRegTree
    bool succeeds;
    const char* survivor;  // a key that must stay (or null)
  };
  const Row rows[] = {
      {"leaf", {"T\\Leaf"}, "T\\Leaf", true, "T"},
      {"three levels", {"T\\A\\B\\C", "T\\A\\B2"}, "T\\A", true, "T"},
      {"wide and deep",
       {"T\\W\\1\\x", "T\\W\\2\\y\\z", "T\\W\\3", "T\\W\\4\\a", "T\\W\\5"},
       "T\\W", true, "T"},
      {"sibling kept", {"T\\Gone\\Sub", "T\\Kept\\Sub"}, "T\\Gone", true,
       "T\\Kept\\Sub"},
      {"absent key", {"T"}, "T\\Missing", false, "T"},
  };
  for (const Row& row : rows) {
    for (const char* key : row.keys) {
      if (key != nullptr) AddKey(key);
    }
    plat::RegKey probe = 0;
    Check(plat::OpenRegKey(plat::kHkeyLocalMachine, kProbeKey, &probe) ==
              plat::kRegOk,
          "DeleteRegTree", row.name, "probe key opens through HKLM");
    const long result = plat::DeleteRegTree(probe, row.remove);
    plat::CloseRegKey(probe);
    Check((result == plat::kRegOk) == row.succeeds, "DeleteRegTree", row.name,
          "result");
    Check(!KeyExists(row.remove), "DeleteRegTree", row.name, "key is gone");
    Check(row.survivor == nullptr || KeyExists(row.survivor), "DeleteRegTree",
          row.name, "other keys stay");
  }
  // The whole probe tree, directly below the predefined key.
  Check(plat::DeleteRegTree(plat::kHkeyLocalMachine, kProbeKey) ==
            plat::kRegOk,
        "DeleteRegTree", "below HKLM", "result");
  Check(!KeyExists(""), "DeleteRegTree", "below HKLM", "key is gone");
}

void CheckRegistryReads() {
  AddKey("R\\First");
  AddKey("R\\Second");
  HKEY raw;
  char full[512];
  std::snprintf(full, sizeof full, "%s\\R", kProbeKey);
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, full, 0, KEY_ALL_ACCESS, &raw);
  const DWORD devnode = 0x2F;
  RegSetValueExA(raw, "DevNode", 0, REG_BINARY,
                 reinterpret_cast<const BYTE*>(&devnode), 4);
  RegSetValueExA(raw, "Driver", 0, REG_SZ,
                 reinterpret_cast<const BYTE*>("MEDIA\\0001"), 11);
  RegCloseKey(raw);

  plat::RegKey key = 0;
  Check(plat::OpenRegKey(plat::kHkeyLocalMachine, full, &key) == plat::kRegOk,
        "registry", "open", "HKLM path opens");
  char name[256];
  Check(plat::EnumRegSubkey(key, 0, name, sizeof name) == plat::kRegOk &&
            std::strcmp(name, "First") == 0,
        "registry", "enum 0", "First");
  Check(plat::EnumRegSubkey(key, 1, name, sizeof name) == plat::kRegOk &&
            std::strcmp(name, "Second") == 0,
        "registry", "enum 1", "Second");
  Check(plat::EnumRegSubkey(key, 2, name, sizeof name) != plat::kRegOk,
        "registry", "enum 2", "no more subkeys");

  struct Row {
    const char* name;
    const char* value;
    uint32_t size;
    bool ok;
    uint32_t stored;
  };
  const Row rows[] = {
      {"dword fits", "DevNode", 4, true, 4},
      {"dword too small", "DevNode", 2, false, 4},
      {"string fits", "Driver", 256, true, 11},
      {"string exact", "Driver", 11, true, 11},
      {"absent", "NoSuchValue", 256, false, 256},
  };
  for (const Row& row : rows) {
    char data[256] = {};
    uint32_t size = row.size;
    const long result = plat::QueryRegValue(key, row.value, data, &size);
    Check((result == plat::kRegOk) == row.ok, "QueryRegValue", row.name,
          "result");
    if (row.ok || result == ERROR_MORE_DATA) {
      Check(size == row.stored, "QueryRegValue", row.name, "stored size");
    }
  }
  uint32_t size = 4;
  uint32_t value = 0;
  plat::QueryRegValue(key, "DevNode", &value, &size);
  Check(value == 0x2F, "QueryRegValue", "dword", "value read");
  Check(plat::CloseRegKey(key) == plat::kRegOk, "registry", "close", "closed");
  plat::DeleteRegTree(plat::kHkeyLocalMachine, kProbeKey);
}

// ------------------------------------------------------------- processes

void ClearTools() {
  static const char* const kNames[] = {"tool.com", "tool.exe", "tool.bat",
                                       "tool.cmd", "marker"};
  for (const char* name : kNames) RemoveScratchFile(name);
}

void PlaceTool(const char* kind) {
  char path[MAX_PATH];
  ScratchPath(kind, path);
  if (std::strcmp(kind, "tool.bat") == 0) {
    WriteFileText(path, "@exit 3%2\r\n");
  } else if (std::strcmp(kind, "tool.cmd") == 0) {
    WriteFileText(path, "@exit 4%2\r\n");
  } else if (std::strcmp(kind, "dir:tool.exe") == 0) {
    ScratchPath("tool.exe", path);
    CreateDirectoryA(path, nullptr);
  } else {
    CopyFileA(self, path, FALSE);
  }
}

void CheckRunAndWait() {
  struct Row {
    const char* name;
    const char* files[4];
    long expected;  // the child's exit code for the command "tool child 5"
  };
  const Row rows[] = {
      {"exe alone", {"tool.exe"}, 205},
      {"com before exe", {"tool.exe", "tool.com"}, 105},
      {"exe before bat", {"tool.bat", "tool.exe"}, 205},
      {"bat alone, arguments passed", {"tool.bat"}, 35},
      {"bat before cmd", {"tool.cmd", "tool.bat"}, 35},
      {"cmd alone", {"tool.cmd"}, 45},
      {"directory named tool.exe", {"dir:tool.exe", "tool.bat"}, 35},
      {"nothing", {}, -1},
  };
  plat::ChangeDirectory(scratch);
  for (const Row& row : rows) {
    ClearTools();
    for (const char* file : row.files) {
      if (file != nullptr) PlaceTool(file);
    }
    const long code = plat::RunAndWait("tool", "tool child 5");
    char what[64];
    std::snprintf(what, sizeof what, "exit code %ld, want %ld", code,
                  row.expected);
    Check(code == row.expected, "RunAndWait", row.name, what);
  }
  ClearTools();

  // A program that exists only along PATH is never found.
  char elsewhere[MAX_PATH];
  ScratchPath("onpath", elsewhere);
  CreateDirectoryA(elsewhere, nullptr);
  char onPath[MAX_PATH];
  std::snprintf(onPath, sizeof onPath, "%s\\tool.exe", elsewhere);
  CopyFileA(self, onPath, FALSE);
  char path[4096];
  GetEnvironmentVariableA("PATH", path, sizeof path);
  char widened[4096 + MAX_PATH];
  std::snprintf(widened, sizeof widened, "%s;%s", elsewhere, path);
  SetEnvironmentVariableA("PATH", widened);
  Check(plat::RunAndWait("tool", "tool child 5") == -1, "RunAndWait",
        "only on PATH", "not found");
  SetEnvironmentVariableA("PATH", path);
  DeleteFileA(onPath);
  RemoveDirectoryA(elsewhere);
}

void CheckStartAndExit() {
  struct Row {
    const char* name;
    bool toolPresent;
    long handoverCode;  // exit code of the process that called StartAndExit
    bool markerMade;    // the started program ran
  };
  const Row rows[] = {
      {"started", true, 0, true},
      {"nothing to start", false, 3, false},
  };
  plat::ChangeDirectory(scratch);
  char marker[MAX_PATH];
  ScratchPath("marker", marker);
  for (const Row& row : rows) {
    ClearTools();
    PlaceTool("probe.exe");
    if (row.toolPresent) PlaceTool("tool.exe");
    const long code = plat::RunAndWait("probe", "probe handover tool");
    Check(code == row.handoverCode, "StartAndExit", row.name,
          "handover exit code");
    // The started program runs on its own; give it a moment.
    bool made = false;
    for (int i = 0; i < 100 && !made; ++i) {
      made = GetFileAttributesA(marker) != INVALID_FILE_ATTRIBUTES;
      if (!made) Sleep(50);
    }
    Check(made == row.markerMade, "StartAndExit", row.name,
          "started program ran");
  }
  Sleep(200);
  ClearTools();
  RemoveScratchFile("probe.exe");
}

// ------------------------------------------------------------------ files

// ReplaceFileWith, and the Windows 95 steps it takes where MoveFileExA is
// a stub (win32::ReplaceByRenaming): here, under Wine, they run as the Win32
// layer runs them on Windows 95, call for call.
void CheckReplace() {
  struct Row {
    const char* name;
    bool win95Way;            // win32::ReplaceByRenaming instead
    const char* target;       // content, or null for absent
    bool targetReadOnly;
    const char* replacement;  // content, or null for absent
    const char* aside;        // content of target.txt.~old before, or null
    bool ok;
    const char* keptAside;    // content of target.txt.~o1 after, or null
  };
  const Row rows[] = {
      {"new target", false, nullptr, false, "new", nullptr, true, nullptr},
      {"existing target", false, "old", false, "new", nullptr, true, nullptr},
      {"read-only target", false, "old", true, "new", nullptr, false, nullptr},
      {"no replacement", false, "old", false, nullptr, nullptr, false, nullptr},
      {"95: new target", true, nullptr, false, "new", nullptr, true, nullptr},
      {"95: existing target", true, "old", false, "new", nullptr, true,
       nullptr},
      {"95: no replacement", true, "old", false, nullptr, nullptr, false,
       nullptr},
      // Never deleted: it may be all that is left of a user's file.
      {"95: an earlier aside file is moved on", true, "old", false, "new",
       "stray", true, "stray"},
      // A replacement cut after its first step: the old file first comes
      // back, then is replaced.
      {"95: missing target, its old file aside", true, nullptr, false, "new",
       "old", true, nullptr},
  };
  char target[MAX_PATH], replacement[MAX_PATH], aside[MAX_PATH],
      kept[MAX_PATH];
  ScratchPath("target.txt", target);
  ScratchPath("target.new", replacement);
  ScratchPath("target.txt.~old", aside);
  ScratchPath("target.txt.~o1", kept);
  for (const Row& row : rows) {
    for (const char* name : {"target.txt", "target.new", "target.txt.~old",
                             "target.txt.~o1"}) {
      RemoveScratchFile(name);
    }
    if (row.target) WriteFileText(target, row.target);
    if (row.targetReadOnly) SetFileAttributesA(target, FILE_ATTRIBUTE_READONLY);
    if (row.replacement) WriteFileText(replacement, row.replacement);
    if (row.aside) WriteFileText(aside, row.aside);
    const bool ok =
        row.win95Way
            ? win32::ReplaceByRenaming(replacement, target, row.target)
            : plat::ReplaceFileWith(replacement, target);
    Check(ok == row.ok, "ReplaceFileWith", row.name, "result");
    const char* want = row.ok ? row.replacement
                              : (row.target ? row.target : "<absent>");
    Check(std::strcmp(ReadFileText(target), want) == 0, "ReplaceFileWith",
          row.name, "target content");
    Check(row.ok == (GetFileAttributesA(replacement) ==
                     INVALID_FILE_ATTRIBUTES) ||
              !row.replacement,
          "ReplaceFileWith", row.name, "replacement moved only on success");
    Check(GetFileAttributesA(aside) == INVALID_FILE_ATTRIBUTES,
          "ReplaceFileWith", row.name, "nothing left aside");
    Check(std::strcmp(ReadFileText(kept),
                      row.keptAside ? row.keptAside : "<absent>") == 0,
          "ReplaceFileWith", row.name, "earlier aside file kept");
  }

  // The recovery that every reader of a replaced file calls first.
  struct Recovery {
    const char* name;
    const char* target;  // content, or null for absent
    const char* aside;
    const char* after;   // the target's content afterwards
  };
  const Recovery recoveries[] = {
      {"missing target comes back", nullptr, "old", "old"},
      {"present target stays", "new", "old", "new"},
      {"nothing aside", nullptr, nullptr, "<absent>"},
  };
  for (const Recovery& row : recoveries) {
    RemoveScratchFile("target.txt");
    RemoveScratchFile("target.txt.~old");
    if (row.target) WriteFileText(target, row.target);
    if (row.aside) WriteFileText(aside, row.aside);
    plat::RecoverReplacedFile(target);
    Check(std::strcmp(ReadFileText(target), row.after) == 0,
          "RecoverReplacedFile", row.name, "target content");
    Check((GetFileAttributesA(aside) != INVALID_FILE_ATTRIBUTES) ==
              (row.aside && row.target),
          "RecoverReplacedFile", row.name, "aside file only when not put back");
  }

  // MoveFileA never replaces a file: the memory manager relies on it.
  WriteFileText(replacement, "new");
  WriteFileText(target, "old");
  Check(!plat::RenameFile(replacement, target) &&
            std::strcmp(ReadFileText(target), "old") == 0,
        "RenameFile", "onto a file", "refused, file kept");
  RemoveScratchFile("target.txt");
  Check(plat::RenameFile(replacement, target) &&
            std::strcmp(ReadFileText(target), "new") == 0,
        "RenameFile", "onto a free name", "renamed");
  for (const char* name : {"target.txt", "target.new", "target.txt.~old",
                           "target.txt.~o1"}) {
    RemoveScratchFile(name);
  }
}

void CheckByteIo() {
  char path[MAX_PATH];
  ScratchPath("bytes.bin", path);
  static char data[100000];
  for (size_t i = 0; i < sizeof data; ++i) data[i] = static_cast<char>(i * 7);
  plat::FileHandle file = plat::CreateNewFile(path);
  Check(file != plat::kNoFile, "byte I/O", "create", "opened");
  Check(plat::WriteBytes(file, data, sizeof data), "byte I/O", "write",
        "all written");
  Check(plat::FlushFile(file), "byte I/O", "flush", "flushed");
  Check(plat::CloseFile(file), "byte I/O", "close written", "closed");
  // CREATE_NEW: a file of that name is never truncated.
  Check(plat::CreateNewFile(path) == plat::kNoFile, "byte I/O",
        "create over a file", "refused");

  static char back[sizeof data + 10];
  file = plat::OpenForRead(path);
  long total = 0;
  for (long got; (got = plat::ReadBytes(file, back + total, 4096)) > 0;) {
    total += got;
  }
  Check(total == static_cast<long>(sizeof data) &&
            std::memcmp(back, data, sizeof data) == 0,
        "byte I/O", "read back", "same bytes");
  Check(plat::ReadBytes(file, back, 10) == 0, "byte I/O", "at end", "0");
  Check(plat::CloseFile(file), "byte I/O", "close read", "closed");

  // The file stays readable while held open for reading elsewhere.
  file = plat::OpenForRead(path);
  const plat::FileHandle again = plat::OpenForRead(path);
  Check(again != plat::kNoFile, "byte I/O", "shared read", "second reader");
  plat::CloseFile(again);
  plat::CloseFile(file);

  DeleteFileA(path);
  Check(plat::OpenForRead(path) == plat::kNoFile, "byte I/O", "absent",
        "not opened");
  Check(!plat::CloseFile(plat::kNoFile), "byte I/O", "close none", "false");
}

// What Windows refuses must be refused here too, also under Wine running as
// root (where the read-only attribute does not stop the host file system).
// Wine keeps no read-only attribute on directories, so RemoveDir's refusal
// of a read-only directory shows only on Windows and is not checked here.
// Deletes path with the attributes that a search for it returns, as the
// file lists do.
bool RemoveAsListed(const char* path) {
  plat::FindData found;
  const plat::FindHandle find = plat::FindFirst(path, &found);
  if (find == plat::kNoFind) return false;
  plat::FindEnd(find);
  return plat::RemoveListedFile(path, found.attributes);
}

void CheckRefusals() {
  enum Op { kCopyOnto, kDelete, kDeleteListed, kCreate, kReplace };
  struct Row {
    const char* name;
    Op op;
    bool readOnly;  // the victim carries the read-only attribute
    bool held;      // the victim is held open by this process
    bool ownImage;  // the victim is this running program
  };
  const Row rows[] = {
      {"copy onto read-only file", kCopyOnto, true, false, false},
      {"delete read-only file", kDelete, true, false, false},
      {"delete listed read-only file", kDeleteListed, true, false, false},
      {"create over read-only file", kCreate, true, false, false},
      {"replace read-only file", kReplace, true, false, false},
      {"delete file held open", kDelete, false, true, false},
      {"delete listed file held open", kDeleteListed, false, true, false},
      {"delete running program", kDelete, false, false, true},
  };
  char victim[MAX_PATH], source[MAX_PATH];
  ScratchPath("source.txt", source);
  for (const Row& row : rows) {
    WriteFileText(source, "source");
    if (row.ownImage) {
      std::snprintf(victim, sizeof victim, "%s", self);
    } else {
      ScratchPath("victim.txt", victim);
      WriteFileText(victim, "victim");
    }
    if (row.readOnly) SetFileAttributesA(victim, FILE_ATTRIBUTE_READONLY);
    const plat::FileHandle held =
        row.held ? plat::OpenForRead(victim) : plat::kNoFile;
    bool done = false;
    switch (row.op) {
      case kCopyOnto: done = plat::CopyOneFile(source, victim, false); break;
      case kDelete: done = plat::RemoveFile(victim); break;
      case kDeleteListed: done = RemoveAsListed(victim); break;
      case kReplace: done = plat::ReplaceFileWith(source, victim); break;
      case kCreate: {
        const plat::FileHandle file = plat::CreateNewFile(victim);
        done = file != plat::kNoFile;
        plat::CloseFile(file);
        break;
      }
    }
    if (held != plat::kNoFile) plat::CloseFile(held);
    Check(!done, "refusals", row.name, "refused");
    Check(GetFileAttributesA(victim) != INVALID_FILE_ATTRIBUTES, "refusals",
          row.name, "still there");
    Check(row.op == kDelete || row.op == kDeleteListed ||
              std::strcmp(ReadFileText(victim), "victim") == 0,
          "refusals", row.name, "content kept");
    if (!row.ownImage) {
      SetFileAttributesA(victim, FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(victim);
    }
  }
  DeleteFileA(source);
  // Without a reason to refuse, the listed file goes.
  ScratchPath("victim.txt", victim);
  WriteFileText(victim, "victim");
  Check(RemoveAsListed(victim) &&
            GetFileAttributesA(victim) == INVALID_FILE_ATTRIBUTES,
        "refusals", "delete listed plain file", "deleted");
}

void CheckFind() {
  char dir[MAX_PATH], path[MAX_PATH];
  ScratchPath("find", dir);
  CreateDirectoryA(dir, nullptr);
  static const char* const kFiles[] = {"a.txt", "b.txt", "c.dat"};
  for (const char* name : kFiles) {
    std::snprintf(path, sizeof path, "%s\\%s", dir, name);
    WriteFileText(path, name);
  }
  struct Row {
    const char* name;
    const char* pattern;  // below the find directory
    int count;            // names other than . and ..
  };
  const Row rows[] = {
      {"star dot txt", "*.txt", 2},
      {"everything", "*.*", 3},
      {"no match", "*.none", 0},
      {"absent directory", "nodir\\*.*", 0},
  };
  for (const Row& row : rows) {
    std::snprintf(path, sizeof path, "%s\\%s", dir, row.pattern);
    plat::FindData found;
    int count = 0;
    const plat::FindHandle find = plat::FindFirst(path, &found);
    for (bool more = find != plat::kNoFind; more;
         more = plat::FindNext(find, &found)) {
      if (std::strcmp(found.name, ".") != 0 &&
          std::strcmp(found.name, "..") != 0) {
        ++count;
      }
    }
    plat::FindEnd(find);
    Check(count == row.count, "FindFirst", row.name, "names found");
  }

  for (const char* name : kFiles) {
    ScratchPath("find\\", path);
    std::strcat(path, name);
    DeleteFileA(path);
  }
  ScratchPath("find", dir);
  RemoveDirectoryA(dir);
}

// ------------------------------------------------------------ spellings

// Creates path's parent directories and, unless it is one itself, path.
void LayOut(const std::string& path, bool isDir) {
  for (size_t cut = path.find('\\', 3); cut != std::string::npos;
       cut = path.find('\\', cut + 1)) {
    CreateDirectoryA(path.substr(0, cut).c_str(), nullptr);
  }
  if (isDir) {
    CreateDirectoryA(path.c_str(), nullptr);
    return;
  }
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

// Removes path and its parents up to, not including, the drive root; a
// parent that still holds something stays.
void Clear(const std::string& path, bool isDir) {
  if (!isDir) DeleteFileA(path.c_str());
  std::string dir = isDir ? path : path.substr(0, path.rfind('\\'));
  while (dir.size() > 3 && RemoveDirectoryA(dir.c_str())) {
    dir = dir.substr(0, dir.rfind('\\'));
  }
}

void CheckSpellings(const char* tableDir) {
  spelling::Table table;
  std::string error;
  if (!spelling::Load(initable::WindowsDir(tableDir) + "spellings.tsv",
                      &table, &error)) {
    Check(false, "spellings", "table", error.c_str());
    return;
  }
  for (const std::string& dir : table.dirs) LayOut(spelling::Expand(dir), true);
  for (const std::string& file : table.files) {
    LayOut(spelling::Expand(file), false);
  }
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  SetCurrentDirectoryA(table.cwd.c_str());
  for (const spelling::Row& row : table.rows) {
    const std::string spelled = spelling::Expand(row.spelling);
    std::string problems = spelling::Check(row, spelling::Resolve(spelled));
    char full[600];
    const DWORD length = GetFullPathNameA(spelled.c_str(), sizeof full, full,
                                          nullptr);
    const std::string system = spelling::Expand(
        row.system.empty() ? row.normal : row.system);
    if (length == 0 || length >= sizeof full ||
        !spelling::SamePlace(full, system)) {
      problems += (problems.empty() ? spelling::Name(row) : std::string()) +
                  "\n  the system resolves it to " + full + ", the table says " +
                  system;
    }
    Check(problems.empty(), "spellings", row.spelling.c_str(),
          problems.c_str());
  }
  SetCurrentDirectoryA(saved);
  for (const std::string& file : table.files) {
    Clear(spelling::Expand(file), false);
  }
  for (const std::string& dir : table.dirs) Clear(spelling::Expand(dir), true);
}

// Every shared folder the registry names, the temporary directory and
// their parents are held; a folder inside one is not.
void CheckSharedFolders() {
  std::vector<std::string> places;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                    "Shell Folders",
                    0, KEY_READ, &key) == ERROR_SUCCESS) {
    for (DWORD index = 0;; ++index) {
      char name[256];
      DWORD nameSize = sizeof name;
      BYTE data[MAX_PATH];
      DWORD dataSize = sizeof data - 1;
      if (RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr, data,
                        &dataSize) != ERROR_SUCCESS) {
        break;
      }
      data[dataSize] = 0;
      places.push_back(reinterpret_cast<char*>(data));
    }
    RegCloseKey(key);
  }
  Check(!places.empty(), "shared folders", "Shell Folders", "values read");
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  places.push_back(temp);
  for (const std::string& place : places) {
    char directory[kPathSize];
    const std::string parent = place.substr(0, place.find_last_of('\\', place.size() - 2));
    Check(TreeTarget(place.c_str(), directory) == ListTarget::Protected,
          "shared folders", place.c_str(), "held");
    Check(TreeTarget(parent.c_str(), directory) == ListTarget::Protected,
          "shared folders", parent.c_str(), "its parent held");
    const std::string inside = place + "\\VANTORIS AudioMax";
    Check(TreeTarget(inside.c_str(), directory) == ListTarget::Act,
          "shared folders", inside.c_str(), "a folder inside it free");
  }
}

// Directory links, which a Windows program under Wine cannot make itself
// (CreateSymbolicLinkA does nothing there): the caller lays out in dir
//   LINK -> EMPTY      an empty directory
//   FULL -> FILLED     a directory holding KEEP.TXT
//   RAW -> RAWEMPTY    an empty directory, spent by the last check
// The layer's RemoveDir refuses every link, whatever its reparse tag, and
// leaves what it points to; a plain directory beside them goes.
bool IsWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr &&
         GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool IsDirectory(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void CheckLinks(const char* dir) {
  struct Row {
    const char* name;
    const char* entry;  // below dir
    uint32_t kind;      // its directory and reparse bits, searched or asked
    bool removed;       // by plat::RemoveDir
    const char* kept;   // below dir, there afterwards (or null)
  };
  const Row rows[] = {
      {"plain empty directory", "PLAIN", plat::kAttrDirectory, true, nullptr},
      {"link to an empty directory", "LINK",
       plat::kAttrDirectory | plat::kAttrReparsePoint, false, "EMPTY"},
      {"link to a directory with a file", "FULL",
       plat::kAttrDirectory | plat::kAttrReparsePoint, false,
       "FILLED\\KEEP.TXT"},
  };
  constexpr uint32_t kKind = plat::kAttrDirectory | plat::kAttrReparsePoint;
  char path[MAX_PATH], kept[MAX_PATH];
  std::snprintf(path, sizeof path, "%s\\PLAIN", dir);
  CreateDirectoryA(path, nullptr);
  for (const Row& row : rows) {
    std::snprintf(path, sizeof path, "%s\\%s", dir, row.entry);
    plat::FindData found;
    const plat::FindHandle find = plat::FindFirst(path, &found);
    Check(find != plat::kNoFind && (found.attributes & kKind) == row.kind,
          "links", row.name, "kind as a search lists it");
    plat::FindEnd(find);
    Check((plat::FileAttributes(path) & kKind) == row.kind, "links",
          row.name, "kind as FileAttributes gives it");
    Check(plat::RemoveDir(path) == row.removed, "links", row.name,
          "RemoveDir result");
    Check(IsDirectory(path) != row.removed, "links", row.name,
          "entry there exactly when not removed");
    if (row.kept != nullptr) {
      std::snprintf(kept, sizeof kept, "%s\\%s", dir, row.kept);
      Check(GetFileAttributesA(kept) != INVALID_FILE_ATTRIBUTES, "links",
            row.name, "what it points to stays");
    }
  }
  // Why the layer refuses: Wine's RemoveDirectoryA on a link removes the
  // empty directory it points to and leaves the link; other systems remove
  // the link alone.
  char target[MAX_PATH];
  std::snprintf(path, sizeof path, "%s\\RAW", dir);
  std::snprintf(target, sizeof target, "%s\\RAWEMPTY", dir);
  const bool wine = IsWine();
  Check(RemoveDirectoryA(path) != FALSE, "links", "RemoveDirectoryA on a link",
        "succeeds");
  Check(IsDirectory(target) != wine, "links", "RemoveDirectoryA on a link",
        wine ? "Wine: the directory it points to is gone"
             : "the directory it points to stays");
}

int RunChild(int argc, char** argv) {
  long code = std::atol(argv[2]);
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  const char* dot = std::strrchr(module, '.');
  if (dot && lstrcmpiA(dot, ".com") == 0) code += 100;
  if (dot && lstrcmpiA(dot, ".exe") == 0) code += 200;
  if (argc > 3) WriteFileText(argv[3], "ran");
  return static_cast<int>(code);
}

// A 32-bit program on a 64-bit system (or Wine) may see C:\WINDOWS\SYSTEM32
// or C:\WINDOWS\SYSWOW64, as the system decides; the first name is
// redirected to the directory GetSystemWow64DirectoryA gives. 1 when either
// cannot be read.
int PrintSystemDirectory() {
  char seen[MAX_PATH], onDisk[MAX_PATH];
  UINT length = GetSystemDirectoryA(seen, sizeof seen);
  if (length == 0 || length >= sizeof seen) return 1;
  BOOL wow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &wow64)) return 1;
  if (wow64) {
    length = GetSystemWow64DirectoryA(onDisk, sizeof onDisk);
    if (length == 0 || length >= sizeof onDisk) return 1;
  } else {
    std::memcpy(onDisk, seen, std::strlen(seen) + 1);
  }
  std::printf("%s\n%s\n", seen, onDisk);
  return 0;
}

// The closing line and the exit code.
int Verdict() {
  std::printf("%s: %d failure(s)\n", failures ? "FAILED" : "passed",
              failures);
  return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "child") == 0) {
    return RunChild(argc, argv);
  }
  if (argc >= 3 && std::strcmp(argv[1], "handover") == 0) {
    char command[300];
    std::snprintf(command, sizeof command, "%s child 0 marker", argv[2]);
    plat::StartAndExit(argv[2], command);
    return 3;
  }

  if (argc == 2 && std::strcmp(argv[1], "system-dir") == 0) {
    return PrintSystemDirectory();
  }
  if (argc >= 3 && std::strcmp(argv[1], "links") == 0) {
    CheckLinks(argv[2]);
    return Verdict();
  }

  GetModuleFileNameA(nullptr, self, MAX_PATH);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::snprintf(scratch, sizeof scratch, "%sseldprobe%lu\\", temp,
                GetCurrentProcessId());
  CreateDirectoryA(scratch, nullptr);

  CheckDeleteRegTree();
  CheckRegistryReads();
  CheckRunAndWait();
  CheckStartAndExit();
  CheckReplace();
  CheckByteIo();
  CheckRefusals();
  CheckFind();
  CheckSharedFolders();
  if (argc == 2) CheckSpellings(argv[1]);

  RemoveDirectoryA(scratch);
  return Verdict();
}
