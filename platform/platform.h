// The only door from the uninstaller's core to the operating system.
//
// Every module under launch/, control/, textfile/, fileops/ and pnp/ reaches
// files, the registry, INI files, processes and the user through these
// functions and nothing else. One implementation is chosen at link time:
// platform/win32/ calls the real Win32 API (and gives Windows 95 behaviour
// where Windows NT and Wine differ), platform/fake/ is an in-memory machine
// for the native unit tests, platform/host/ the native checker's machine
// (one INI file and the directories it was given; every other call fails).
//
// Conventions: paths are zero-terminated 8-bit strings; sizes are buffer
// sizes in bytes, terminator included. The names deliberately differ from the
// Win32 ones so that <windows.h> macros never rename them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

// ---------------------------------------------------------------- constants

constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
// FILE_ATTRIBUTE_REPARSE_POINT: on NT-family systems and under Wine a link
// or junction; beside kAttrDirectory, a directory whose contents are
// elsewhere. Windows 95 has no such entries.
constexpr uint32_t kAttrReparsePoint = 0x400;

constexpr uint32_t kMbOk = 0x0;     // MB_OK
constexpr uint32_t kMbYesNo = 0x4;  // MB_YESNO
constexpr int kIdOk = 1;            // IDOK
constexpr int kIdYes = 6;           // IDYES
constexpr int kIdNo = 7;            // IDNO

constexpr long kRegOk = 0;  // ERROR_SUCCESS

constexpr uint32_t kWmDeviceChange = 0x0219;
constexpr uint32_t kDbtDeviceRemovePending = 0x8003;
constexpr uint32_t kDbtDeviceRemoveComplete = 0x8004;
constexpr uint32_t kDbtDevtypDevnode = 1;
// BSF_NOHANG | BSF_FORCEIFHUNG | BSF_NOTIMEOUTIFNOTHUNG
constexpr uint32_t kBroadcastFlags = 0x68;
// BSM_VXDS | BSM_INSTALLABLEDRIVERS
constexpr uint32_t kBroadcastRecipients = 5;

// --------------------------------------------------------------- letter case

// a to z as A to Z; every other byte unchanged. Names on this system (files,
// registry keys, INI sections and keys) compare without regard to the case
// of ASCII letters only, whatever the code page. Here because both sides of
// this door need it and platform/ must not reach into the core.
inline char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// ------------------------------------------------------- private profiles

// GetPrivateProfileStringA: the value of key in section of the INI file at
// path, or def when the file, section or key is missing, cut to size - 1
// characters and zero-terminated. Returns the number of characters stored.
uint32_t ReadProfileString(const char* section, const char* key,
                           const char* def, char* out, uint32_t size,
                           const char* path);

// ------------------------------------------------------------------ registry

using RegKey = uintptr_t;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
constexpr long kRegMoreData = 234;  // ERROR_MORE_DATA

// RegOpenKeyExA(parent, path, 0, KEY_ALL_ACCESS). Returns kRegOk or an error.
long OpenRegKey(RegKey parent, const char* path, RegKey* out);
// RegEnumKeyA: name of the subkey at index into a buffer of size bytes.
long EnumRegSubkey(RegKey key, uint32_t index, char* name, uint32_t size);
// RegQueryValueExA(key, name, 0, no type, data, size). *size is the buffer
// size on entry and the stored size on success.
long QueryRegValue(RegKey key, const char* name, void* data, uint32_t* size);
// RegEnumValueA: the data of the value at index, as QueryRegValue gives
// it; kRegMoreData when its name or data does not fit (the index after it
// may still hold one that does), another error past the last value.
long EnumRegValue(RegKey key, uint32_t index, void* data, uint32_t* size);
// RegDeleteKeyA with the Windows 95 meaning: the key goes with every key
// below it.
long DeleteRegTree(RegKey parent, const char* path);
// RegDeleteValueA: the value called name of an opened key.
long DeleteRegValue(RegKey key, const char* name);
long CloseRegKey(RegKey key);

// ------------------------------------------------------------- broadcasts

struct DevBroadcastDevnode {
  uint32_t size;
  uint32_t deviceType;
  uint32_t reserved;
  uint32_t devnode;
};

// BroadcastSystemMessage(flags, recipients, message, wParam, lParam = record).
long BroadcastDeviceChange(uint32_t flags, uint32_t* recipients,
                           uint32_t message, uint32_t wparam,
                           DevBroadcastDevnode* record);

// ---------------------------------------------------- files and directories

bool CopyOneFile(const char* from, const char* to, bool failIfExists);
// DeleteFileA. Refuses a read-only file, whose attributes it reads first
// (not every system refuses one itself).
bool RemoveFile(const char* path);
// DeleteFileA on a file that a directory search has just returned, with the
// attribute bits of that search entry: refuses when they carry read-only,
// as RemoveFile does, without asking the system for them again.
bool RemoveListedFile(const char* path, uint32_t listedAttributes);
// RemoveDirectoryA, refused for a read-only directory and for a link or
// junction (kAttrReparsePoint): no system is trusted to remove a link alone
// (Wine removes the empty directory it points to), and a link left behind
// does less harm than its target lost.
bool RemoveDir(const char* path);
uint32_t FileAttributes(const char* path);  // kInvalidAttributes when absent
// SetFileAttributesA: gives an existing file exactly these attributes (0 for
// none). False when the file is missing or the system refuses.
bool ChangeFileAttributes(const char* path, uint32_t attributes);

struct FindData {
  uint32_t attributes;
  char name[260];
};
using FindHandle = uintptr_t;
constexpr FindHandle kNoFind = 0;

// FindFirstFileA / FindNextFileA / FindClose. FindFirst returns kNoFind when
// nothing matches or the directory does not exist.
FindHandle FindFirst(const char* pattern, FindData* out);
bool FindNext(FindHandle find, FindData* out);
void FindEnd(FindHandle find);

// Each returns the length stored, 0 on failure, or the size needed (greater
// than or equal to size) when the buffer is too small, as the Win32 calls do.
uint32_t CurrentDirectory(char* out, uint32_t size);  // GetCurrentDirectoryA
uint32_t TempDirectory(char* out, uint32_t size);     // GetTempPathA
uint32_t WindowsDirectory(char* out, uint32_t size);  // GetWindowsDirectoryA
uint32_t SystemDirectory(char* out, uint32_t size);   // GetSystemDirectoryA
uint32_t ShortPathName(const char* path, char* out, uint32_t size);
// GetFullPathNameA: path made absolute against the current directory of its
// drive ("D:" alone gives the current directory of drive D:).
uint32_t FullPathName(const char* path, char* out, uint32_t size);
bool ChangeDirectory(const char* path);  // SetCurrentDirectoryA

// ---------------------------------------------------------------- byte I/O

using FileHandle = uintptr_t;
constexpr FileHandle kNoFile = 0;

// Opens an existing file for reading; kNoFile when it cannot be opened.
FileHandle OpenForRead(const char* path);
// Reads up to size bytes; returns the count read (0 at the end), -1 on error.
long ReadBytes(FileHandle file, void* buf, uint32_t size);
// Creates a new, empty file for writing (CREATE_NEW); kNoFile when a file or
// directory of that name exists or the file cannot be created. An existing
// file is never truncated, however the name came to be taken.
FileHandle CreateNewFile(const char* path);
// Writes all size bytes or returns false.
bool WriteBytes(FileHandle file, const void* buf, uint32_t size);
// FlushFileBuffers: what the system still holds of the file's data is
// written to the disk now. Windows 95 writes late; a file renamed into place
// before its data reached the disk may be empty after a power cut.
bool FlushFile(FileHandle file);
// Closes a file; false when the system reported an error while closing.
bool CloseFile(FileHandle file);

// ------------------------------------------------- renames and replacements

// MoveFileA: the file from takes the name to; never replaces an existing
// file (false then).
bool RenameFile(const char* from, const char* to);
// Puts the file at replacement in the place of target, in one step where the
// system can; target need not exist. False leaves target as it was.
// Windows 95 has no such step: there target is first renamed aside (to
// target + ".~old"), and a cut between the steps can leave target missing
// with its old file aside, which RecoverReplacedFile puts back.
bool ReplaceFileWith(const char* replacement, const char* target);
// When target is missing and an interrupted ReplaceFileWith left its old
// file aside, gives that file its name back. To be called before target is
// read or written; ReplaceFileWith does it itself.
void RecoverReplacedFile(const char* target);

// ------------------------------------------------------------------ memory

// The heap for the lines of edited text files (fails like malloc).
void* Allocate(size_t size);
void Release(void* block);

// --------------------------------------------------------------- processes

// Starts the program bareName (no directory, no extension) from the current
// directory only, trying ".com", ".exe", ".bat", ".cmd" in this order, with
// the given command line, and waits for its end. Returns its exit code, or
// -1 when no such file exists or it could not be started.
long RunAndWait(const char* bareName, const char* commandLine);
// Starts bareName as RunAndWait does and, once the new process exists, ends
// this process with exit code 0. Returns only when the start failed.
void StartAndExit(const char* bareName, const char* commandLine);

// ---------------------------------------------------------------------- UI

// MessageBoxA(no owner, text, title, style); returns the button pressed.
int ShowMessage(const char* text, const char* title, uint32_t style);

}  // namespace plat
