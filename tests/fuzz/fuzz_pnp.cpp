// Fuzz target: removal of the card's device keys on arbitrary registry
// trees. The input decodes into [pnpids] ids and device keys below
// ENUM\ISAPNP whose instances carry "Driver" values of any bytes and length
// (with or without terminator) naming class driver keys whose "DevNode"
// values have any size. Names come from a small alphabet so that ids,
// device names and driver paths meet often.
//
// Checked: the result, no registry handle left open, every matching device
// key before the enumeration's end gone, every other device key and every
// key outside the two trees untouched, class driver keys deleted only when
// a removed device's instance named them in the form class "\" instance,
// broadcasts in pending/complete pairs with a well-formed record, one
// release-tool run per pair with the pair's device node as its argument.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "platform/platform.h"
#include "pnp/pnp_devices.h"
#include "pnp/pnp_id_list.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const char kIsaPnp[] = "HKLM\\ENUM\\ISAPNP";
const char kClass[] = "HKLM\\System\\CurrentControlSet\\Services\\Class";
const char kControlPath[] = "C:\\DISK\\SELDUNAX.INI";

// A short name over a few letters, or (rarely) one of 255 or 256 letters.
std::string Name(FuzzReader* in, bool allowBackslash) {
  static const char kAlphabet[] = "AB01_&*.aV";
  unsigned form = in->Byte();
  if (form == 0xFE) return std::string(255, 'A');
  if (form == 0xFF) return std::string(256, 'A');
  size_t length = 1 + form % 8;
  std::string out;
  for (size_t i = 0; i < length; ++i) {
    uint8_t b = in->Byte();
    out += (allowBackslash && b % 11 == 10) ? '\\' : kAlphabet[b % 10];
  }
  return out;
}

// A "Driver" value: a class path (possibly with its terminator) or raw bytes.
std::string DriverBytes(FuzzReader* in, std::string* classPath) {
  unsigned form = in->Small(4);
  if (form == 3) {
    std::string raw = in->Bytes();
    *classPath = CText(raw);
    return raw;
  }
  *classPath = form == 2 ? std::string(250, 'C') : Name(in, true);
  return form == 0 ? *classPath : *classPath + '\0';
}

// Whether line is the key at root, a key below it or one of their values,
// letter case ignored (compared by the C library, which the fuzzer's
// instrumentation leaves alone: a loop of our own here would be traced
// character by character).
bool IsUnder(const std::string& line, const std::string& root) {
  return line.size() >= root.size() &&
         strncasecmp(line.c_str(), root.c_str(), root.size()) == 0 &&
         (line.size() == root.size() || line[root.size()] == '\\' ||
          line[root.size()] == ' ');
}

// Whether the key at root and everything below it are now as the dump
// taken before shows them. Only that part is dumped again: dumping the
// whole registry twice per input costs more than all the rest.
bool Unchanged(const std::vector<std::string>& before,
               const std::string& root) {
  std::vector<std::string> now = fake::RegDump(root);
  size_t next = 0;
  for (const std::string& line : before) {
    if (!IsUnder(line, root)) continue;
    if (next == now.size() || now[next] != line) return false;
    ++next;
  }
  return next == now.size();
}

bool IsKeyLine(const std::string& line) {
  return line.find(" : ") == std::string::npos;
}

bool MatchesAnyId(const std::vector<std::string>& ids, const std::string& name) {
  for (const std::string& id : ids) {
    if (name.compare(0, id.size(), id) == 0) return true;
  }
  return false;
}

struct Device {
  std::string name;
  std::vector<std::string> driverPaths;  // class paths its instances name
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader in(data, size);
  fake::Reset();
  fake::AddFile("C:\\DISK\\DEVEJECT.EXE", "MZ");
  fake::SetCurrentDir("C:\\DISK");
  fake::AddRegKey("HKLM\\SOFTWARE\\KEEP");
  fake::SetRegString("HKLM\\SOFTWARE\\KEEP", "Driver", "MEDIA");
  fake::AddRegKey(kIsaPnp);
  fake::AddRegKey(std::string(kClass) + "\\OTHER\\0000\\Drivers");

  std::string ini = "[pnpids]\n";
  unsigned idCount = in.Small(5);
  for (unsigned n = 1; n <= idCount; ++n) {
    ini += std::to_string(n) + "=" + Name(&in, false) + "\n";
  }
  fake::AddFile(kControlPath, ini);

  std::vector<Device> devices;
  unsigned deviceCount = in.Small(7);
  for (unsigned d = 0; d < deviceCount; ++d) {
    // Key names ignore letter case: a second spelling names the same key,
    // which keeps its first spelling (the one the ids are matched against).
    std::string name = Name(&in, false);
    size_t at = 0;
    while (at < devices.size() && UpperCopy(devices[at].name) != UpperCopy(name)) {
      ++at;
    }
    if (at == devices.size()) devices.push_back(Device{name, {}});
    Device& device = devices[at];
    std::string devicePath = std::string(kIsaPnp) + "\\" + device.name;
    fake::AddRegKey(devicePath);
    unsigned instances = in.Small(4);
    for (unsigned i = 0; i < instances; ++i) {
      std::string instancePath = devicePath + "\\" + Name(&in, false);
      fake::AddRegKey(instancePath);
      uint8_t flags = in.Byte();
      if (flags & 1) continue;  // no "Driver" value
      std::string classPath;
      std::string driver = DriverBytes(&in, &classPath);
      fake::SetRegValue(instancePath, "Driver", driver, in.Small(5));
      device.driverPaths.push_back(classPath);
      if ((flags & 2) && !classPath.empty() && classPath[0] != '\\') {
        std::string classKey = std::string(kClass) + "\\" + classPath;
        fake::AddRegKey(classKey + "\\Drivers");
        if (flags & 4) {
          fake::SetRegValue(classKey + "\\Drivers", "DevNode", in.Bytes());
        }
      }
    }
  }

  std::vector<std::string> before = fake::RegDump("HKLM");
  char ids[kPnpIdListSize];
  ReadPnpIdList(kControlPath, ids);
  std::vector<std::string> idList;
  for (const char* id = ids; *id; id += strlen(id) + 1) idList.push_back(id);

  int result = RemovePnpDevices(kControlPath);
  if (std::getenv("FUZZ_VERBOSE")) {
    for (const std::string& id : idList) std::fprintf(stderr, "  id %s\n", id.c_str());
    for (const std::string& line : before) {
      bool gone = IsKeyLine(line) && !fake::RegKeyExists(line);
      std::fprintf(stderr, "  %s %s\n", gone ? "-" : " ",
                   line.c_str());
    }
    std::fprintf(stderr, "  %zu release-tool runs\n",
                 fake::StartedPrograms().size());
  }

  FUZZ_CHECK(result == 1, "RemovePnpDevices returned %d", result);
  FUZZ_CHECK(fake::OpenRegHandles() == 0, "%d registry handles left open",
             fake::OpenRegHandles());
  FUZZ_CHECK(Unchanged(before, "HKLM\\SOFTWARE"),
             "a key outside the device trees changed");
  FUZZ_CHECK(fake::RegKeyExists(kIsaPnp) && fake::RegKeyExists(kClass),
             "a parent key went");

  // The enumeration ends at the first name that does not fit in 256 bytes.
  std::vector<std::string> removedDrivers;
  bool reachable = true;
  for (const Device& device : devices) {
    std::string path = UpperCopy(std::string(kIsaPnp) + "\\" + device.name);
    if (device.name.size() > 255) reachable = false;
    bool present = fake::RegKeyExists(path);
    if (MatchesAnyId(idList, device.name)) {
      FUZZ_CHECK(!reachable || !present, "matching device %s stayed",
                 device.name.c_str());
      if (!present) {
        removedDrivers.insert(removedDrivers.end(), device.driverPaths.begin(),
                              device.driverPaths.end());
      }
    } else {
      FUZZ_CHECK(Unchanged(before, path),
                 "device %s does not match and changed", device.name.c_str());
    }
  }

  // Every class key that went, each below the Class key.
  const std::string classRoot = kClass;
  for (const std::string& line : before) {
    if (!IsKeyLine(line) || line.size() <= classRoot.size() ||
        !IsUnder(line, classRoot) || fake::RegKeyExists(line)) {
      continue;
    }
    std::string key = UpperCopy(line);
    std::string relative = key.substr(classRoot.size() + 1);
    bool named = false;
    for (const std::string& driver : removedDrivers) {
      // Only a value of the form class "\" instance names a class driver
      // key.
      size_t slash = driver.find('\\');
      if (slash == 0 || slash == std::string::npos ||
          slash + 1 == driver.size() ||
          driver.find('\\', slash + 1) != std::string::npos) {
        continue;
      }
      std::string upper = UpperCopy(driver);
      if (relative.compare(0, upper.size(), upper) == 0 &&
          (relative.size() == upper.size() || relative[upper.size()] == '\\')) {
        named = true;
      }
    }
    FUZZ_CHECK(named, "class key %s deleted but no removed device named it",
               key.c_str());
  }

  const auto& broadcasts = fake::Broadcasts();
  const auto& started = fake::StartedPrograms();
  FUZZ_CHECK(broadcasts.size() % 2 == 0, "%zu broadcasts", broadcasts.size());
  FUZZ_CHECK(started.size() == broadcasts.size() / 2,
             "%zu release-tool runs for %zu broadcasts", started.size(),
             broadcasts.size());
  for (size_t i = 0; i < broadcasts.size(); ++i) {
    const fake::Broadcast& b = broadcasts[i];
    FUZZ_CHECK(b.flags == 0x68 && b.message == 0x219 &&
                   b.wparam == (i % 2 ? 0x8004u : 0x8003u) &&
                   b.record.size == 16 && b.record.deviceType == 1 &&
                   b.record.reserved == 0 && b.recipientsIn == 5,
               "broadcast %zu malformed", i);
    if (i % 2 == 1) {
      FUZZ_CHECK(b.record.devnode == broadcasts[i - 1].record.devnode,
                 "pair %zu names two device nodes", i / 2);
      char expected[32];
      std::snprintf(expected, sizeof expected, "DEVEJECT %x",
                    b.record.devnode);
      FUZZ_CHECK(started[i / 2].commandLine == expected && started[i / 2].waited,
                 "release tool run \"%s\", expected \"%s\"",
                 started[i / 2].commandLine.c_str(), expected);
    }
  }
  // Leaves the machine as an empty one, so that every input frees what it
  // allocated and the fuzzer's leak check stays quiet unless a leak is real.
  fake::Reset();
  return 0;
}
