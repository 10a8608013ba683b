// The card's machine as the unit tests lay it out: the control file's path
// and the registry that device removal walks,
// HKLM\ENUM\ISAPNP\<device>\<instance> with a "Driver" value naming a class
// driver key HKLM\System\CurrentControlSet\Services\Class\<driver> whose
// "Drivers" subkey holds "DevNode".
#pragma once

#include <cstdint>
#include <string>

extern const char kControl[];      // the control file's full path
extern const std::string kIsaPnp;  // "HKLM\\ENUM\\ISAPNP"
extern const std::string kClass;   // "HKLM\\...\\Services\\Class"

// ISAPNP\device\instance with "Driver" = driver (a string with terminator).
void AddInstance(const std::string& device, const std::string& instance,
                 const std::string& driver);
// Class\driver\Drivers with "DevNode" = devnode (4 bytes).
void AddClassDriver(const std::string& driver, uint32_t devnode);
// A device with one instance "0000" and its class driver key.
void AddDevice(const std::string& device, const std::string& driver,
               uint32_t devnode);
