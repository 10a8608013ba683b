// A fake machine with the registry layout that device removal walks:
// HKLM\ENUM\ISAPNP\<device>\<instance> with a "Driver" value naming a class
// driver key HKLM\System\CurrentControlSet\Services\Class\<driver> whose
// "Drivers" subkey holds "DevNode".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern const char kControl[];      // the control file's full path
extern const std::string kIsaPnp;  // "HKLM\\ENUM\\ISAPNP"
extern const std::string kClass;   // "HKLM\\...\\Services\\Class"

// More platform calls than any test here needs: NewMachine makes every call
// past this one fail, so that a walk that would never end does end.
constexpr long kCallLimit = 100000;

// Resets the machine: DEVEJECT.EXE in C:\ (the current directory), the
// ISAPNP and Class keys when asked for, and a control file whose [pnpids]
// holds ids (one "n=id" line each).
void NewMachine(const std::vector<std::string>& ids, bool isaPnp = true,
                bool classKey = true);

// ISAPNP\device\instance with "Driver" = driver (a string with terminator).
void AddInstance(const std::string& device, const std::string& instance,
                 const std::string& driver);
// Class\driver\Drivers with "DevNode" = devnode (4 bytes).
void AddClassDriver(const std::string& driver, uint32_t devnode);
// A device with one instance "0000" and its class driver key.
void AddDevice(const std::string& device, const std::string& driver,
               uint32_t devnode);

// The command lines of the programs started so far.
std::vector<std::string> Runs();

// Registry dump lines below HKLM, without the lines of the keys named in
// gone (HKLM-relative test paths such as kIsaPnp + "\\X") and their subtrees.
std::vector<std::string> DumpWithout(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& gone);
