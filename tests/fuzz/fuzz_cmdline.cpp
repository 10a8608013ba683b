// Fuzz target: the start-up stripping of the program's name and the
// command-line grammar, on arbitrary bytes.
//
// A plain reference model of the grammar, written over std::string, says
// what the result must be; the real functions must agree with it, never
// hold more than 255 characters in the name, and never read past the text.
#include <cstring>
#include <string>
#include <vector>

#include "launch/command_line.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

struct Expected {
  int postInstall = 0;
  std::string joinedName;  // every plain argument, joined
};

Expected ModelParse(const std::string& text) {
  Expected out;
  size_t p = 0;
  while (p < text.size()) {
    if (text[p] == ' ') {
      ++p;
      continue;
    }
    size_t end = text.find(' ', p);
    if (end == std::string::npos) end = text.size();
    std::string token = text.substr(p, end - p);
    p = end;
    if (token[0] == '/' || token[0] == '-') {
      if (token.size() >= 8 && UpperCopy(token.substr(1, 7)) == "POSTW95") {
        out.postInstall = 1;
      }
    } else {
      out.joinedName += token;
    }
  }
  return out;
}

size_t ModelSkip(const std::string& line) {
  size_t p = 0;
  auto blank = [&](size_t i) {
    return static_cast<unsigned char>(line[i]) <= 32;
  };
  if (p < line.size() && line[p] == '"') {
    ++p;
    while (p < line.size() && line[p] != '"') ++p;
    if (p < line.size()) ++p;
  } else {
    while (p < line.size() && !blank(p)) ++p;
  }
  while (p < line.size() && blank(p)) ++p;
  return p;
}

void CheckParse(const std::string& text) {
  // The struct is filled with junk first: the parser must not rely on the
  // caller having cleared it.
  CommandOptions* options = new CommandOptions;
  std::memset(options, 0x5A, sizeof *options);
  ParseCommandLine(text.c_str(), options);

  Expected want = ModelParse(text);
  size_t nameLength = strnlen(options->controlName, sizeof options->controlName);
  FUZZ_CHECK(nameLength < sizeof options->controlName,
             "name not terminated inside its buffer");
  FUZZ_CHECK(options->postInstall == want.postInstall,
             "post-install flag %d, model says %d", options->postInstall,
             want.postInstall);
  FUZZ_CHECK(options->nameTooLong == 0 || options->nameTooLong == 1,
             "nameTooLong is %d", options->nameTooLong);
  bool fits = want.joinedName.size() <= 255;
  FUZZ_CHECK(options->nameTooLong == (fits ? 0 : 1),
             "nameTooLong %d for a joined name of %zu characters",
             options->nameTooLong, want.joinedName.size());
  if (fits) {
    FUZZ_CHECK(want.joinedName == options->controlName,
               "name \"%s\", model says \"%s\"", options->controlName,
               want.joinedName.c_str());
  }
  delete options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The command line as the system hands it over: a C string in a heap block
  // of exactly its size, so that a read past its end is caught.
  std::string line = CText(std::string(reinterpret_cast<const char*>(data), size));
  char* heapLine = new char[line.size() + 1];
  std::memcpy(heapLine, line.c_str(), line.size() + 1);

  const char* rest = SkipProgramName(heapLine);
  FUZZ_CHECK(rest >= heapLine && rest <= heapLine + line.size(),
             "SkipProgramName left the text");
  size_t skipped = static_cast<size_t>(rest - heapLine);
  FUZZ_CHECK(skipped == ModelSkip(line), "skipped %zu characters, model %zu",
             skipped, ModelSkip(line));

  CheckParse(rest);
  CheckParse(line);
  delete[] heapLine;
  return 0;
}
