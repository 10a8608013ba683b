// Inside the fake machine: the one global machine and the helpers that the
// platform functions of the fake share. Not for tests (they use
// fake_machine.h).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "platform/profile/profile_reader.h"

namespace fake {

// One file or directory. Kept in a map keyed by the upper-case full path.
struct Entry {
  std::string path;  // full path, letter case as created
  bool dir = false;
  uint32_t attributes = 0;
  std::string data;
  bool inUse = false;
  bool unreadable = false;
  uint64_t seq = 0;  // creation order inside its directory
  std::string shortPath;
  // A directory link: the full path of the directory it points to (which
  // need not exist); empty for everything else.
  std::string linkTarget;
};

struct RegValue {
  std::string name;
  uint32_t type = 0;
  std::string bytes;
};

struct RegNode {
  std::string name;  // letter case as created; "HKLM" for the root
  uint64_t parent = 0;
  std::vector<uint64_t> children;  // enumeration order
  std::vector<RegValue> values;
};

constexpr uint64_t kRegRootId = 1;         // HKEY_LOCAL_MACHINE, "HKLM"
constexpr uint64_t kRegCurrentUserId = 2;  // HKEY_CURRENT_USER, "HKCU"

struct State {
  std::map<std::string, Entry> files;
  uint64_t nextSeq = 1;
  std::unordered_map<uint64_t, RegNode> reg;
  uint64_t nextRegId = kRegCurrentUserId + 1;
  std::string currentDir;
  std::string tempPath;
  std::string windowsDir;
  std::string systemDir;
  bool hasLinks = false;  // set once a directory link was made
};

struct OpenFile {
  std::string key;
  uint64_t pos = 0;
  bool write = false;
};

// The keys of one INI file, read once for many look-ups (fake_profile.cpp):
// the lines that decide look-ups, as places in bytes, so that reading the
// file allocates little.
struct IniIndex {
  struct Key {
    ProfileSpan name;
    bool hasValue;      // false: the key's first line has no "="
    ProfileSpan value;  // blanks around it dropped
  };
  struct Section {
    ProfileSpan name;
    // The first line of each key name, in the order of their names.
    std::vector<Key> keys;
  };
  std::string bytes;  // the file the index was read from
  // Where those bytes were last found, and the machine's filesChanged count
  // then: while both hold, the file is unchanged and needs no comparison.
  const std::string* source = nullptr;
  uint64_t generation = 0;
  // The first section of each name, in the order of their names.
  std::vector<Section> sections;
};

struct Machine {
  State state;
  // Counts every change to a file's bytes and every file created or
  // removed (FilesChanged()).
  uint64_t filesChanged = 0;
  IniIndex iniIndex;
  // The last full path (one beginning "X:\\") that FindEntry looked up and
  // what it found, valid while filesChanged keeps its count.
  struct {
    bool valid = false;
    uint64_t generation = 0;
    std::string path;
    Entry* entry = nullptr;
  } lastFound;

  std::map<uintptr_t, OpenFile> files;
  std::map<uintptr_t, std::vector<plat::FindData>> finds;
  std::map<uintptr_t, size_t> findPos;
  std::map<uintptr_t, uint64_t> regHandles;
  uintptr_t nextHandle = 0x1000;

  std::vector<Box> boxes;
  std::vector<int> answers;
  std::vector<Started> started;
  std::vector<Broadcast> broadcasts;
  std::function<long(const Started&)> onRun;
  std::function<uint32_t(uint32_t)> recipientsAfter;
  bool exitedAfterStart = false;

  bool windows95 = false;  // SetPersonality(Personality::Windows95)
  DiskFault diskFault = DiskFault::None;
  long diskFaultFrom = 0;

  std::vector<std::function<bool(const Call&)>> failRules;
  std::function<void(const Call&)> afterEachCall;
  std::vector<Call> calls;
  long callCount = 0;
};

Machine& M();
uintptr_t NewHandle();
// To be called wherever a file's bytes change or a file entry is created or
// removed: it tells the INI index that its file may have changed.
void FilesChanged();

// Counts and logs one platform call; fail tells whether a fault rule asks
// the call to fail. The after-call hook runs when the scope ends.
class CallScope {
 public:
  CallScope(const char* function, const char* arg);
  CallScope(const char* function, const std::string& arg);
  // A call on a handle: argOf(handle) gives its argument, worked out only
  // when the log, a fault rule or the after-call hook needs it.
  CallScope(const char* function, uintptr_t handle,
            std::string (*argOf)(uintptr_t));
  ~CallScope();
  bool fail = false;

 private:
  Machine& Count(const char* function);
  void Record(Machine& m, std::string arg);
  Call call_;
};

// ----------------------------------------------------------------- paths

std::string Upper(const std::string& s);
bool EqualNoCase(const std::string& a, const std::string& b);
// The full path that a Win32 call would use for path: relative paths and
// "X:name" against the current directory, "." and ".." folded, trailing
// blanks and dots dropped from names, no trailing backslash except on a
// drive root; a directory link on the way is followed, but a link that is
// the last name stays itself ("C:\\T\\LINK\\A" is A in the linked
// directory, "C:\\T\\LINK" the link). False for null, empty, malformed or
// overlong paths, links in a loop, and for names with wildcard or other
// invalid characters unless allowWild.
bool ResolvePath(const char* path, std::string* full, bool allowWild = false);
// "C:\\A\\B" -> "C:\\A"; a drive root has no parent (returns false).
bool ParentOf(const std::string& full, std::string* parent);
std::string LastName(const std::string& full);
std::string JoinPath(const std::string& dir, const std::string& name);

// ----------------------------------------------------------- file system

Entry* FindEntry(const std::string& full);
Entry* FindEntry(const char* path);  // resolves first; null when absent
// Creates full and every missing parent as directories; returns the entry.
Entry* MakeDirs(const std::string& full);
// The entry itself, or for a directory link the directory it points to
// (null when that is missing or the links loop).
Entry* LinkedDirectory(Entry* e);
// Children of a directory in creation order.
std::vector<Entry*> ChildrenOf(const std::string& dirFull);
bool IsOpen(const std::string& key);
// A file that another process (SetInUse) or an open handle holds.
bool IsBusy(const Entry& e);
// Deletes a file that is neither a directory nor busy (no attribute check).
bool EraseFile(Entry* e);
// A new entry at full (replacing any of that name); its parent must exist.
Entry* NewEntry(const std::string& full, bool dir);
// The parent directory of full exists (a drive root always has one).
bool ParentExists(const std::string& full);
// Removes the entry at full from the table, whatever it is.
void Erase(const std::string& full);
// Gives the file at the full path from the full path to, as a rename does:
// false when from is missing, a directory or busy, to is taken, or to's
// directory is missing. The file keeps its bytes and attributes; its short
// name goes with its old name.
bool MoveEntry(const std::string& from, const std::string& to);
// Whether a lasting disk fault (SetDiskFault) refuses a change now:
// every change on a write-protected disk, a change that adds bytes on a
// full one.
bool DiskRefuses(bool addsBytes);

// FindFirstFileA's name matching: letter case ignored, "*" any run, "?"
// one character; dots and stars left at the end of the pattern once the
// name is matched match nothing ("*.*" every name, "name.*" also "name");
// a trailing "." asks for names without an extension, as on Windows 95.
// tests/data/find/patterns.tsv holds it to the system's own search.
bool WildMatch(const std::string& pattern, const std::string& name);
// The entry's name as an 8.3 name: the name itself when it is one, else the
// alias the file system gives it (or the last name SetShortPath set).
std::string ShortNameOf(const Entry& e);

// ------------------------------------------------------------- registry

RegNode* RegNodeById(uint64_t id);
// The path of the key a handle names, "" for an unknown handle.
std::string CallArgOfHandle(plat::RegKey key);
std::string RegPathOf(uint64_t id);

// ------------------------------------------------------- shared helpers

// Win32 string-return convention: stores s when it fits (returns its
// length), else returns the size needed including the terminator.
uint32_t CopyOut(const std::string& s, char* out, uint32_t size);

}  // namespace fake
