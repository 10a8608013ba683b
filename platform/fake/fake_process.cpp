// Processes, broadcasts, message boxes and memory of the fake machine: each
// call is logged for the tests, and its outcome comes from their hooks.
#include <cstdlib>
#include <cstring>

#include "platform/fake/fake_internal.h"

namespace fake {

namespace {

std::string Text(const char* s) {
  return s ? std::string(s, strnlen(s, 1 << 20)) : std::string();
}

// The program file that bareName names in the current directory, tried
// with the extensions in the system's order; "" when there is none.
std::string FindProgram(const char* bareName) {
  if (!bareName || !*bareName) return std::string();
  std::string name = Text(bareName);
  if (name.find_first_of("\\/:*?") != std::string::npos) return std::string();
  static const char* const kExtensions[] = {".com", ".exe", ".bat", ".cmd"};
  for (const char* ext : kExtensions) {
    std::string full;
    std::string path = JoinPath(M().state.currentDir, name + ext);
    if (!ResolvePath(path.c_str(), &full)) continue;
    Entry* e = FindEntry(full);
    if (e && !e->dir) return e->path;
  }
  return std::string();
}

}  // namespace

}  // namespace fake

namespace plat {

long RunAndWait(const char* bareName, const char* commandLine) {
  fake::CallScope call("RunAndWait", bareName);
  if (call.fail) return -1;
  std::string program = fake::FindProgram(bareName);
  if (program.empty()) return -1;
  fake::Machine& m = fake::M();
  fake::Started s{program, fake::Text(commandLine), m.state.currentDir, true};
  m.started.push_back(s);
  std::function<long(const fake::Started&)> run = m.onRun;
  return run ? run(s) : 0;
}

void StartAndExit(const char* bareName, const char* commandLine) {
  fake::CallScope call("StartAndExit", bareName);
  if (call.fail) return;
  std::string program = fake::FindProgram(bareName);
  if (program.empty()) return;
  fake::Machine& m = fake::M();
  m.started.push_back(fake::Started{program, fake::Text(commandLine),
                                    m.state.currentDir, false});
  m.exitedAfterStart = true;
}

long BroadcastDeviceChange(uint32_t flags, uint32_t* recipients,
                           uint32_t message, uint32_t wparam,
                           DevBroadcastDevnode* record) {
  fake::CallScope call("BroadcastDeviceChange", "");
  if (call.fail) return -1;
  fake::Machine& m = fake::M();
  fake::Broadcast b{};
  b.flags = flags;
  b.recipientsIn = recipients ? *recipients : 0;
  b.message = message;
  b.wparam = wparam;
  if (record) b.record = *record;
  m.broadcasts.push_back(b);
  std::function<uint32_t(uint32_t)> after = m.recipientsAfter;
  if (recipients && after) *recipients = after(*recipients);
  return 1;
}

int ShowMessage(const char* text, const char* title, uint32_t style) {
  fake::CallScope call("ShowMessage", "");
  if (call.fail) return 0;
  fake::Machine& m = fake::M();
  m.boxes.push_back(fake::Box{fake::Text(text), fake::Text(title), style});
  if (!m.answers.empty()) {
    int answer = m.answers.front();
    m.answers.erase(m.answers.begin());
    return answer;
  }
  return (style & 0xF) == kMbYesNo ? kIdYes : kIdOk;
}

void* Allocate(size_t size) {
  fake::CallScope call("Allocate", "");
  if (call.fail) return nullptr;
  return std::malloc(size ? size : 1);
}

void Release(void* block) {
  fake::CallScope call("Release", "");
  std::free(block);
}

}  // namespace plat
