// The system's family and the standard streams of the fake machine.
#include "platform/fake/fake_internal.h"

namespace fake {

const std::string& StandardOutput() { return M().standardOutput; }
const std::string& StandardError() { return M().standardError; }

}  // namespace fake

namespace plat {

bool NtFamilySystem() {
  return fake::M().profileReading == ProfileReading::NtFamily;
}

bool WriteStandard(StandardStream stream, const void* bytes, uint32_t size) {
  fake::CallScope call("WriteStandard", "");
  if (call.fail) return false;
  std::string& out = stream == StandardStream::Output
                         ? fake::M().standardOutput
                         : fake::M().standardError;
  out.append(static_cast<const char*>(bytes), size);
  return true;
}

}  // namespace plat
