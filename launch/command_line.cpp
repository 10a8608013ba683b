#include "launch/command_line.h"

#include <cstring>

#include "control/ascii_chars.h"

namespace {

// The post-install switch: its first 7 characters after "/" or "-", in any
// letter case; anything after them does not matter.
bool IsPostInstallSwitch(const char* body, size_t length) {
  static const char kWord[] = "POSTW95";
  const size_t wordLength = sizeof kWord - 1;
  if (length < wordLength) return false;
  for (size_t i = 0; i < wordLength; ++i) {
    if (UpperAscii(body[i]) != kWord[i]) return false;
  }
  return true;
}

// Appends one plain argument to the name. Several plain arguments are
// joined without a separator, which normally names no file; a name that
// would not fit is flagged instead of cut, so that a cut name is never
// looked for.
void AppendArgument(CommandOptions* options, const char* token, size_t length) {
  size_t have = strlen(options->controlName);
  if (have + length >= sizeof options->controlName) {
    options->nameTooLong = true;
    return;
  }
  memcpy(options->controlName + have, token, length);
  options->controlName[have + length] = '\0';
}

}  // namespace

const char* SkipProgramName(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && !IsSpaceOrControl(*p)) ++p;
  }
  while (*p != '\0' && IsSpaceOrControl(*p)) ++p;
  return p;
}

void ParseCommandLine(const char* text, CommandOptions* options) {
  options->postInstall = false;
  options->controlName[0] = '\0';
  options->nameTooLong = false;
  const char* p = text;
  for (;;) {
    // Only the space separates tokens; a tab belongs to the token.
    while (*p == ' ') ++p;
    if (*p == '\0') return;
    const char* token = p;
    while (*p != '\0' && *p != ' ') ++p;
    size_t length = static_cast<size_t>(p - token);
    if (*token == '/' || *token == '-') {
      if (IsPostInstallSwitch(token + 1, length - 1)) options->postInstall = true;
    } else {
      AppendArgument(options, token, length);
    }
  }
}
