#include "tests/unit/pnp/pnp_fixture.h"

#include "platform/fake/fake_machine.h"
#include "tests/unit/support/test_support.h"

void NewMachine(const std::vector<std::string>& ids, bool isaPnp,
                bool classKey) {
  fake::Reset();
  // A walk that never ends is cut off here and shows as too many calls.
  fake::FailWhen([](const fake::Call& c) { return c.index > kCallLimit; });
  fake::AddFile("C:\\DEVEJECT.EXE", "MZ");
  if (isaPnp) fake::AddRegKey(kIsaPnp);
  if (classKey) fake::AddRegKey(kClass);
  std::string ini = "[pnpids]\n";
  for (size_t i = 0; i < ids.size(); ++i) {
    ini += std::to_string(i + 1) + "=" + ids[i] + "\n";
  }
  WriteControlFile(kControl, ini);
}

std::vector<std::string> Runs() {
  std::vector<std::string> runs;
  for (const fake::Started& s : fake::StartedPrograms()) {
    runs.push_back(s.commandLine);
  }
  return runs;
}

namespace {

bool Below(const std::string& line, const std::string& key) {
  if (line.compare(0, key.size(), key) != 0) return false;
  return line.size() == key.size() || line[key.size()] == '\\' ||
         line[key.size()] == ' ';
}

}  // namespace

std::vector<std::string> DumpWithout(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& gone) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    bool drop = false;
    for (const std::string& key : gone) drop = drop || Below(line, key);
    if (!drop) kept.push_back(line);
  }
  return kept;
}
