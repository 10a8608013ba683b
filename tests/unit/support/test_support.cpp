#include "tests/unit/support/test_support.h"

#include "platform/fake/fake_machine.h"

std::string Crlf(const std::string& lfText) {
  std::string out;
  for (char c : lfText) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void WriteControlFile(const std::string& path, const std::string& iniText) {
  fake::AddFile(path, Crlf(iniText));
}
