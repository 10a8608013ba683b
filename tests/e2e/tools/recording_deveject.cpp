// A stand-in for DEVEJECT.EXE that the end-to-end tests put beside the
// uninstaller. Each run appends one line to a log:
//
//     <arguments joined by blanks><TAB><present|absent>
//
// "present" when a class driver key below
// HKLM\System\CurrentControlSet\Services\Class\<class>\<n> still held a
// Drivers key whose DevNode equals the argument while the tool ran, which
// shows that the uninstaller deletes that key only after the tool has ended.
// The log is %RECORDING_DEVEJECT_LOG%, or C:\deveject.log when that is not
// set. %RECORDING_DEVEJECT_EXIT%, when set, is the exit code (decimal);
// otherwise the tool ends like the real one: 0, or 1 for a bad argument.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "pnp/devnode_arg.h"

namespace {

const char kClassPath[] = "System\\CurrentControlSet\\Services\\Class";

bool DriversKeyHolds(HKEY classKey, const char* driverPath, DWORD devnode) {
  char path[600];
  snprintf(path, sizeof path, "%s\\Drivers", driverPath);
  HKEY drivers;
  if (RegOpenKeyExA(classKey, path, 0, KEY_READ, &drivers) != ERROR_SUCCESS) {
    return false;
  }
  DWORD value = 0;
  DWORD size = sizeof value;
  bool same = RegQueryValueExA(drivers, "DevNode", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&value),
                               &size) == ERROR_SUCCESS &&
              size == sizeof value && value == devnode;
  RegCloseKey(drivers);
  return same;
}

// Scans Class\<class>\<driver> for a Drivers\DevNode equal to devnode.
bool ClassDriverKeyExists(DWORD devnode) {
  HKEY classKey;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClassPath, 0, KEY_READ, &classKey) !=
      ERROR_SUCCESS) {
    return false;
  }
  bool found = false;
  char className[256];
  for (DWORD i = 0; !found && RegEnumKeyA(classKey, i, className,
                                          sizeof className) == ERROR_SUCCESS;
       ++i) {
    HKEY oneClass;
    if (RegOpenKeyExA(classKey, className, 0, KEY_READ, &oneClass) !=
        ERROR_SUCCESS) {
      continue;
    }
    char driver[256];
    for (DWORD j = 0; !found && RegEnumKeyA(oneClass, j, driver,
                                            sizeof driver) == ERROR_SUCCESS;
         ++j) {
      char path[520];
      snprintf(path, sizeof path, "%s\\%s", className, driver);
      found = DriversKeyHolds(classKey, path, devnode);
    }
    RegCloseKey(oneClass);
  }
  RegCloseKey(classKey);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  uint32_t devnode = 0;
  bool valid = argc == 2 && ParseDevnodeArg(argv[1], &devnode);
  bool present = valid && ClassDriverKeyExists(devnode);

  const char* logPath = getenv("RECORDING_DEVEJECT_LOG");
  if (logPath == nullptr || logPath[0] == '\0') logPath = "C:\\deveject.log";
  FILE* log = fopen(logPath, "ab");
  if (log != nullptr) {
    for (int i = 1; i < argc; ++i) fprintf(log, i > 1 ? " %s" : "%s", argv[i]);
    fprintf(log, "\t%s\r\n", present ? "present" : "absent");
    fclose(log);
  }

  const char* exitText = getenv("RECORDING_DEVEJECT_EXIT");
  if (exitText != nullptr && exitText[0] != '\0') return atoi(exitText);
  return valid ? 0 : 1;
}
