// Linked into the fuzz targets and corpus replays that never read the fake
// machine's call log (NO_CALL_LOG in CMakeLists.txt): the log is switched
// off, which spares every platform call a copy of its argument.
#include "platform/fake/fake_machine.h"

namespace {

const bool kCallLogOff = (fake::KeepCallLog(false), true);

}  // namespace
