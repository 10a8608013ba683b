// The fake machine as a whole: the global instance, Reset, snapshots, the
// call log with its fault rules, and the logs that tests read.
#include <cstdio>
#include <cstdlib>

#include "platform/fake/fake_internal.h"

namespace fake {

namespace {

Machine* NewMachine();

Machine*& Instance() {
  static Machine* machine = NewMachine();
  return machine;
}

void SetDefaults(Machine* m) {
  m->state.reg[kRegRootId].name = "HKLM";
  m->state.reg[kRegCurrentUserId].name = "HKCU";
  m->state.currentDir = "C:\\";
  m->state.tempPath = "C:\\WINDOWS\\TEMP\\";
  m->state.windowsDir = "C:\\WINDOWS";
  m->state.systemDir = "C:\\WINDOWS\\SYSTEM";
}

Machine* NewMachine() {
  Machine* m = new Machine();
  SetDefaults(m);
  return m;
}

void AddDefaultDirs() {
  MakeDirs("C:\\WINDOWS\\SYSTEM");
  MakeDirs("C:\\WINDOWS\\TEMP");
}

}  // namespace

Machine& M() {
  static bool filled = false;
  Machine& m = *Instance();
  if (!filled) {
    filled = true;
    AddDefaultDirs();
  }
  return m;
}

void FilesChanged() { ++M().filesChanged; }

uintptr_t NewHandle() {
  Machine& m = M();
  m.nextHandle += 4;
  return m.nextHandle;
}

void Reset() {
  Machine*& m = Instance();
  uintptr_t next = m->nextHandle;  // handles stay unique across resets
  delete m;
  m = NewMachine();
  m->nextHandle = next;
  AddDefaultDirs();
}

// ---------------------------------------------------------------- calls

namespace {

bool g_keepCallLog = true;

// Whether a call needs its argument text: for the log, a fault rule or the
// after-call hook. Without them a call is only counted, which spares the
// fuzz targets building texts no one reads.
bool ArgumentNeeded(const Machine& m) {
  return g_keepCallLog || !m.failRules.empty() || m.afterEachCall;
}

}  // namespace

CallScope::CallScope(const char* function, const char* arg) {
  Machine& m = Count(function);
  if (ArgumentNeeded(m)) Record(m, arg ? std::string(arg) : std::string());
}

CallScope::CallScope(const char* function, const std::string& arg) {
  Machine& m = Count(function);
  if (ArgumentNeeded(m)) Record(m, arg);
}

CallScope::CallScope(const char* function, uintptr_t handle,
                     std::string (*argOf)(uintptr_t)) {
  Machine& m = Count(function);
  if (ArgumentNeeded(m)) Record(m, argOf(handle));
}

Machine& CallScope::Count(const char* function) {
  Machine& m = M();
  call_.function = function;
  call_.index = ++m.callCount;
  return m;
}

void CallScope::Record(Machine& m, std::string arg) {
  call_.arg = std::move(arg);
  if (g_keepCallLog) m.calls.push_back(call_);
  if (m.failRules.empty()) return;
  // Copy the rules: a rule may add rules.
  std::vector<std::function<bool(const Call&)>> rules = m.failRules;
  for (const auto& rule : rules) {
    if (rule && rule(call_)) {
      fail = true;
      break;
    }
  }
}

CallScope::~CallScope() {
  const Machine& m = M();
  if (!m.afterEachCall) return;
  std::function<void(const Call&)> hook = m.afterEachCall;
  hook(call_);
}

void KeepCallLog(bool keep) { g_keepCallLog = keep; }

void FailWhen(std::function<bool(const Call&)> rule) {
  M().failRules.push_back(std::move(rule));
}

void FailCalls(const std::string& function, const std::string& arg) {
  FailWhen([function, arg](const Call& c) {
    return function == c.function && (arg.empty() || EqualNoCase(arg, c.arg));
  });
}

long CallCount() { return M().callCount; }

void AfterEachCall(std::function<void(const Call&)> hook) {
  M().afterEachCall = std::move(hook);
}

const std::vector<Call>& CallLog() { return M().calls; }

// ------------------------------------------------------------ snapshots

std::shared_ptr<State> Snapshot() {
  return std::make_shared<State>(M().state);
}

void Restore(const std::shared_ptr<State>& state) {
  if (state) M().state = *state;
  FilesChanged();
}

namespace {

std::string Printable(const std::string& data) {
  std::string out;
  for (unsigned char c : data) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n\n      ";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c < 32 || c > 126) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

std::string Describe(const std::shared_ptr<State>& state) {
  if (!state) return "(no state)\n";
  std::shared_ptr<State> saved = Snapshot();
  Restore(state);
  std::string out = "current directory: " + state->currentDir + "\n";
  for (const std::string& path : ListTree("")) {
    const Entry* e = FindEntry(path.c_str());
    char attr[16];
    std::snprintf(attr, sizeof attr, " [%02x]", e ? e->attributes : 0u);
    out += path + attr;
    if (e && !e->linkTarget.empty()) out += " -> " + e->linkTarget;
    if (e && e->inUse) out += " in-use";
    if (e && e->unreadable) out += " unreadable";
    if (e && !e->dir) out += "\n    = \"" + Printable(e->data) + "\"";
    out += "\n";
  }
  for (const char* root : {"HKLM", "HKCU"}) {
    for (const std::string& line : RegDump(root)) out += line + "\n";
  }
  Restore(saved);
  return out;
}

// ------------------------------------------------------------------ logs

const std::vector<Box>& Boxes() { return M().boxes; }
void QueueAnswer(int button) { M().answers.push_back(button); }
const std::vector<Started>& StartedPrograms() { return M().started; }

void OnRun(std::function<long(const Started&)> program) {
  M().onRun = std::move(program);
}

bool ExitedAfterStart() { return M().exitedAfterStart; }
const std::vector<Broadcast>& Broadcasts() { return M().broadcasts; }

void SetRecipientsAfterBroadcast(std::function<uint32_t(uint32_t)> reached) {
  M().recipientsAfter = std::move(reached);
}

int OpenFinds() { return static_cast<int>(M().finds.size()); }
int OpenFiles() { return static_cast<int>(M().files.size()); }
int OpenRegHandles() { return static_cast<int>(M().regHandles.size()); }

}  // namespace fake
