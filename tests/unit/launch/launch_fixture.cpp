#include "tests/unit/launch/launch_fixture.h"

#include <cctype>

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

bool SameText(const std::string& a, const std::string& b) {
  return Upper(a) == Upper(b);
}

std::vector<std::string> BoxTexts() {
  std::vector<std::string> texts;
  for (const fake::Box& box : fake::Boxes()) texts.push_back(box.text);
  return texts;
}

long FirstCall(const char* function, bool (*match)(const std::string& arg)) {
  const std::vector<fake::Call>& log = fake::CallLog();
  for (size_t i = 0; i < log.size(); ++i) {
    if (function[0] != '\0' && std::string(log[i].function) != function) continue;
    if (match(log[i].arg)) return static_cast<long>(i);
  }
  return -1;
}

bool AnyArg(const std::string&) { return true; }

long FirstCallWithArg(const std::string& arg) {
  const std::vector<fake::Call>& log = fake::CallLog();
  for (size_t i = 0; i < log.size(); ++i) {
    if (SameText(log[i].arg, arg)) return static_cast<long>(i);
  }
  return -1;
}

int ScheduledCount(const std::string& path) {
  std::string wininit = Upper(fake::ReadFile("C:\\WINDOWS\\WININIT.INI"));
  std::string entry = "NUL=" + Upper(path);
  int count = 0;
  for (size_t at = wininit.find(entry); at != std::string::npos;
       at = wininit.find(entry, at + 1)) {
    size_t end = at + entry.size();
    if (end == wininit.size() || wininit[end] == '\r' || wininit[end] == '\n') {
      ++count;
    }
  }
  return count;
}

std::string LongDir(const std::string& parent, size_t length) {
  std::string path = parent;
  while (path.size() < length) {
    size_t room = length - path.size();
    if (path.back() == '\\') {
      path += std::string(room < 8 ? room : 8, 'D');
    } else if (room == 1) {
      path += 'D';  // no room for another component
    } else {
      path += '\\';
      path += std::string(room - 1 < 8 ? room - 1 : 8, 'D');
    }
  }
  fake::AddDir(path);
  return path;
}
