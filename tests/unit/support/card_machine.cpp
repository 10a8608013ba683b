#include "tests/unit/support/card_machine.h"

#include "platform/fake/fake_machine.h"

const char kControl[] = "C:\\DISK\\SELDUNAX.INI";
const std::string kIsaPnp = "HKLM\\ENUM\\ISAPNP";
const std::string kClass = "HKLM\\System\\CurrentControlSet\\Services\\Class";

void AddInstance(const std::string& device, const std::string& instance,
                 const std::string& driver) {
  fake::SetRegString(kIsaPnp + "\\" + device + "\\" + instance, "Driver",
                     driver);
}

void AddClassDriver(const std::string& driver, uint32_t devnode) {
  fake::SetRegDword(kClass + "\\" + driver + "\\Drivers", "DevNode", devnode);
}

void AddDevice(const std::string& device, const std::string& driver,
               uint32_t devnode) {
  AddInstance(device, "0000", driver);
  AddClassDriver(driver, devnode);
}
