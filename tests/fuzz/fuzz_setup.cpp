// Linked into every fuzz target and corpus replay: the fake machine keeps no
// call log, which no target reads and which would cost every platform call
// a copy of its argument.
#include "platform/fake/fake_machine.h"

namespace {

const bool kCallLogOff = (fake::KeepCallLog(false), true);

}  // namespace
