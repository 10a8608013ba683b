// The record of what a run could not do, for tests that call one step and
// do not look at it: a fresh, empty record on every call.
#pragma once

#include "control/not_done.h"

inline NotDone* ScratchRecord() {
  static NotDone record;
  record = NotDone{};
  return &record;
}
