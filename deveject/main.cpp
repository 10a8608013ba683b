// DEVEJECT.EXE, the release tool that the uninstaller runs on each device
// node that it announces as removed:
//
//     DEVEJECT <device node number>
//
// The number is lowercase hexadecimal without prefix or leading zeros, as
// the uninstaller writes it ("0", "2f", "ffffffff"). The uninstaller waits
// for the tool and deletes the node's class driver key once it has ended;
// the tool's exit code is for a person running it by hand:
//
//     0  the argument named a device node
//     1  the argument was missing, more than one, or malformed
//
// Windows 95 has already been told through the device-change broadcasts that
// the node is gone, and takes the node out of its tree when the card's
// registry entries are gone at the next start; the tool itself therefore
// changes nothing on the machine. It is a windowless program so that no
// console flashes up while the uninstaller waits for it.
//
// Like SELDUNAX.EXE it is linked without the C run-time start-up and DLL
// (MSVCRT.DLL is missing on many Windows 95 PCs), so it reads its command
// line itself.
#include <windows.h>

#include "control/ascii_chars.h"
#include "pnp/devnode_arg.h"

namespace {

enum ExitCode { kReleased = 0, kBadArgument = 1 };

// Past one word of the command line: up to the closing quote when it begins
// with one, else up to the next blank.
const char* SkipWord(const char* p) {
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    return *p == '"' ? p + 1 : p;
  }
  while (*p != '\0' && !IsSpaceOrTab(*p)) ++p;
  return p;
}

const char* SkipBlanks(const char* p) {
  while (IsSpaceOrTab(*p)) ++p;
  return p;
}

// The one argument after the program's name (its quotes removed) into arg
// (kDevnodeArgSize bytes); false when there is none, more than one, or it
// is too long to be a device node number.
bool OneArgument(const char* commandLine, char* arg) {
  const char* start = SkipBlanks(SkipWord(SkipBlanks(commandLine)));
  const char* end = SkipWord(start);
  if (start == end || *SkipBlanks(end) != '\0') return false;
  if (*start == '"') {
    ++start;
    if (end[-1] == '"' && end > start) --end;
  }
  if (end - start >= kDevnodeArgSize) return false;
  int n = 0;
  for (; start + n < end; ++n) arg[n] = start[n];
  arg[n] = '\0';
  return true;
}

}  // namespace

// The linker's default entry point name for a Windows GUI program; kept
// and named when the program is optimised as a whole (no call of it is
// compiled).
extern "C" __attribute__((used, externally_visible)) void
WinMainCRTStartup() {
  char arg[kDevnodeArgSize];
  uint32_t devnode;
  const bool ok = OneArgument(GetCommandLineA(), arg) &&
                  ParseDevnodeArg(arg, &devnode);
  ExitProcess(ok ? kReleased : kBadArgument);
}
