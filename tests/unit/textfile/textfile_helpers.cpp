#include "tests/unit/textfile/textfile_helpers.h"

#include <fstream>
#include <sstream>

#include "platform/fake/fake_machine.h"

const LineEnding kEndings[3] = {
    {"CR LF", "\r\n"}, {"LF", "\n"}, {"CR", "\r"}};

std::string WithEnds(const std::string& lfText, const char* end) {
  std::string text;
  for (char c : lfText) {
    if (c == '\n') {
      text += end;
    } else {
      text += c;
    }
  }
  return text;
}

std::string FileText(const std::vector<std::string>& lines, const char* end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

std::string SavedText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!line.empty()) text += line + "\r\n";
  }
  return text;
}

LineArray MakeLines(const std::vector<std::string>& lines) {
  int count = static_cast<int>(lines.size());
  LineArray array = static_cast<LineArray>(
      plat::Allocate((count + kSpareLineSlots) * sizeof(char*)));
  for (int i = 0; i < count + kSpareLineSlots; ++i) array[i] = nullptr;
  for (int i = 0; i < count; ++i) array[i] = DuplicateLine(lines[i].c_str());
  return array;
}

std::vector<std::string> LinesOf(LineArray lines, int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(lines[i]);
  return out;
}

std::vector<std::string> TemporaryFiles() {
  std::vector<std::string> found;
  for (const std::string& path : fake::ListTree()) {
    if (path.size() > 4 && path[path.size() - 4] == '.' &&
        path[path.size() - 3] == '$') {
      found.push_back(path);
    }
  }
  return found;
}

std::string ReadFixture(const std::string& name) {
  std::ifstream in(std::string(SELDUNAX_TEST_DATA) + "/textfile/" + name,
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
