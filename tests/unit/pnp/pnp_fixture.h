// The card's machine (tests/unit/support/card_machine.h) made afresh for
// each device removal test, and what the tests read back from it.
#pragma once

#include <string>
#include <vector>

#include "tests/unit/support/card_machine.h"

// More platform calls than any test here needs: NewMachine makes every call
// past this one fail, so that a walk that would never end does end.
constexpr long kCallLimit = 100000;

// Resets the machine: DEVEJECT.EXE in C:\ (the current directory), the
// ISAPNP and Class keys when asked for, and a control file whose [pnpids]
// holds ids (one "n=id" line each).
void NewMachine(const std::vector<std::string>& ids, bool isaPnp = true,
                bool classKey = true);

// The command lines of the programs started so far.
std::vector<std::string> Runs();

// Registry dump lines below HKLM, without the lines of the keys named in
// gone (HKLM-relative test paths such as kIsaPnp + "\\X") and their subtrees.
std::vector<std::string> DumpWithout(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& gone);
