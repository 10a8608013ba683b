// The fake machine behind platform.h for the native unit tests.
//
// One global machine: drives and directories with case-insensitive names
// (case kept), file attributes, files held in use, a registry tree, INI files
// read with the Windows private-profile rules, scripted message-box answers,
// logs of every box, started program and broadcast, and injectable failures
// for every platform call. Tests drive it only through this header.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

// ------------------------------------------------------------ whole machine

// An empty machine: directories C:\, C:\WINDOWS, C:\WINDOWS\SYSTEM and
// C:\WINDOWS\TEMP; current directory C:\; temporary path C:\WINDOWS\TEMP\;
// Windows directory C:\WINDOWS; system directory C:\WINDOWS\SYSTEM; an empty
// registry with HKEY_LOCAL_MACHINE; no faults, no logs, every box answered
// with its default (IDOK, IDYES).
void Reset();

// A copy of everything that a run can change (files, registry, directories,
// current directory); logs and faults are not part of it.
struct State;
std::shared_ptr<State> Snapshot();
void Restore(const std::shared_ptr<State>& state);
// Human-readable listing of files (with contents), directories and registry,
// for comparing two states in a test message.
std::string Describe(const std::shared_ptr<State>& state);

// -------------------------------------------------------------------- files

// Full paths such as "C:\\DIR\\NAME". Parents are created as needed.
void AddDir(const std::string& path);
void AddFile(const std::string& path, const std::string& data,
             uint32_t attributes = 0);
// A directory link (a junction or directory symlink of NT-family systems)
// at path, pointing to target, which need not exist: its entry carries
// kAttrDirectory | kAttrReparsePoint, a search inside it lists target, a
// path through it names target's entries, and RemoveDir refuses it, as the
// Win32 layer does.
void AddDirLink(const std::string& path, const std::string& target);
bool Exists(const std::string& path);
bool IsDir(const std::string& path);
std::string ReadFile(const std::string& path);  // "" when absent
uint32_t Attributes(const std::string& path);   // kInvalidAttributes
void SetAttributes(const std::string& path, uint32_t attributes);
// A file in use cannot be deleted, replaced or opened for writing.
// RemoveListedFile refuses a read-only file by the attribute bits it is
// given, as if the system did not refuse one itself.
void SetInUse(const std::string& path, bool inUse);
// A file that exists but cannot be opened for reading.
void SetUnreadable(const std::string& path, bool unreadable);
// Every file and directory below (and including) root, full paths with the
// case they were created with, directories ending in "\\", in a stable order.
std::vector<std::string> ListTree(const std::string& root = "C:\\");
// Names returned by FindFirst/FindNext come in creation order, after "." and
// ".." in any directory but a drive root.
// Patterns match as FindFirstFileA matches them: letter case ignored, "*"
// any run, "?" one character, "*.*" every name, "NAME.*" also "NAME", a
// trailing "." only names without an extension; a long name also matches
// through its 8.3 alias ("x.tmpl" has "X~1.TMP", so "*.TMP" finds it).
// Short (8.3) names: ShortPathName gives the path as set here, else the
// full path of an existing entry built name by name, each name as set here
// (the last name of its short path), kept when it is an 8.3 name, else the
// alias the file system gives it ("Program Files" is PROGRA~1), as on
// Windows 95, where every long name has an alias; a short path set here
// also gives the alias that searches match.
void SetShortPath(const std::string& path, const std::string& shortPath);

void SetCurrentDir(const std::string& path);
std::string CurrentDir();
void SetTempPath(const std::string& path);  // GetTempPathA's answer
void SetWindowsDir(const std::string& path);
void SetSystemDir(const std::string& path);
// File searches (FindFirst without FindEnd) and files (OpenForRead or
// CreateNewFile without CloseFile) still open: leak checks for tests.
int OpenFinds();
int OpenFiles();

// ------------------------------------------------------------- Windows 95

// The system the machine behaves as where Windows 95 differs from the NT
// family, which Wine follows. Windows95: MoveFileExA is the stub that
// answers "not implemented", so ReplaceFileWith runs the Win32 layer's own
// Windows 95 steps (win32::ReplaceByRenaming), each a call of its own in the
// log ("GetFileAttributesA", "MoveFileA", "DeleteFileA"); and CopyOneFile
// writes its target in place in visible steps: "CopyOneFile:created"
// (empty), "CopyOneFile:half", then whole when the call ends. Reset()
// gives Nt.
enum class Personality { Nt, Windows95 };
void SetPersonality(Personality personality);

// A lasting fault of the disk, from the call that CallCount() will number
// fromCall on (0: at once); Reset() or None ends it. Full: no byte can be
// added (WriteBytes, and CopyOneFile of a non-empty file, fail), while empty
// files, renames, deletions and attribute changes still succeed.
// WriteProtected: every call that would create, write, flush, rename,
// delete or change attributes fails. The registry is not on the disk here.
enum class DiskFault { None, Full, WriteProtected };
void SetDiskFault(DiskFault fault, long fromCall = 0);

// The next start of the system, as Windows 95 makes it before Windows
// loads: the lines of the first [rename] section of WININIT.INI in the
// Windows directory are carried out in order, "NUL=path" deleting path and
// "new=old" renaming old to new (replacing new), for absolute 8.3 paths only
// (a file's short path as set with SetShortPath, else its path); then
// WININIT.INI becomes WININIT.BAK. Files and searches left open are closed;
// files in use stay in use (their programs load again).
void Restart();

// ----------------------------------------------------------------- registry

// Key paths start with "HKLM\\" or "HKCU\\", e.g.
// "HKLM\\ENUM\\ISAPNP\\PNP0001". Values enumerate in the order they were
// first set.
void AddRegKey(const std::string& path);
void SetRegValue(const std::string& keyPath, const std::string& name,
                 const std::string& bytes, uint32_t type = 3 /*REG_BINARY*/);
// A REG_SZ value stored with its terminating zero.
void SetRegString(const std::string& keyPath, const std::string& name,
                  const std::string& text);
void SetRegDword(const std::string& keyPath, const std::string& name,
                 uint32_t value);
bool RegKeyExists(const std::string& path);
// Every key below (and including) root and its values, one line each, in
// enumeration order: a key as its full path ("HKLM\\ENUM"), a value as
// "<key path> : <name> = <data>" where data is "\"text\"" for REG_SZ,
// "dword:0x0000002a" for REG_DWORD and hex bytes ("hex:01 02") otherwise.
std::vector<std::string> RegDump(const std::string& root = "HKLM");
// Registry handles still open (a leak check for tests).
int OpenRegHandles();
// Subkeys enumerate in the order they were added.

// -------------------------------------------------------------- user & logs

struct Box {
  std::string text;
  std::string title;
  uint32_t style;
};
const std::vector<Box>& Boxes();
// Answers for the next boxes, in order; when none is queued a box gets IDYES
// for MB_YESNO and IDOK otherwise.
void QueueAnswer(int button);

struct Started {
  std::string program;      // full path found, e.g. C:\DISK\DEVEJECT.EXE
  std::string commandLine;  // as given
  std::string currentDir;
  bool waited;              // RunAndWait (true) or StartAndExit (false)
};
const std::vector<Started>& StartedPrograms();
// True once StartAndExit has started a program: the real call would have
// ended this process there. Cleared by Reset().
bool ExitedAfterStart();
// Called for every program that RunAndWait finds, while the caller waits;
// its result is the program's exit code. Default: returns 0.
void OnRun(std::function<long(const Started&)> program);

struct Broadcast {
  uint32_t flags;
  uint32_t recipientsIn;  // the recipients word on entry
  uint32_t message;
  uint32_t wparam;
  plat::DevBroadcastDevnode record;
};
const std::vector<Broadcast>& Broadcasts();
// What the platform writes into the recipients word after a broadcast;
// default: leaves it as it was.
void SetRecipientsAfterBroadcast(std::function<uint32_t(uint32_t)> reached);

// ------------------------------------------------------------------- faults

// Every platform call is counted and named after its platform.h function
// ("CopyOneFile", "ReadBytes", "Allocate", ...). arg is its first path,
// key path, section or program name ("" when it has none).
struct Call {
  const char* function;
  std::string arg;
  long index;  // 1 for the first call since Reset()
};
// Makes a call fail (as the real call would: no file, error code, null) when
// rule returns true. Cleared by Reset().
void FailWhen(std::function<bool(const Call&)> rule);
// Shorthands: fail every call of function (whose arg equals arg, any letter
// case, when arg is not empty).
void FailCalls(const std::string& function, const std::string& arg = "");
long CallCount();
// Called after every call, with the call; for snapshots at call n.
void AfterEachCall(std::function<void(const Call&)> hook);
// Every call made since Reset(), in order.
const std::vector<Call>& CallLog();
// Whether CallLog() records the calls; it does unless switched off. The
// switch holds for the whole process (Reset() leaves it): the fuzz targets,
// which never read the log, switch it off once. Fault rules and the
// after-call hook see every call either way.
void KeepCallLog(bool keep);

}  // namespace fake
