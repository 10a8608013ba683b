// Where Windows 95 and the NT family (and Wine) read the control file
// otherwise (platform/profile/profile_text.h): a byte-order mark, UTF-16
// text, a NUL byte in a name. Each is a finding naming both readings and
// the fix; an error when the two would act on different entries, since a
// file that passes on one system then does something else on the other.
#pragma once

#include <cstddef>

#include "seldchk/findings.h"
#include "seldchk/ini_document.h"

struct Readings {
  const char* bytes;  // the file as it is
  size_t size;
  const IniDocument* windows95;  // as Windows 95 reads it
  const IniDocument* ntFamily;   // as the NT family and Wine read it
  size_t replaced;  // characters the NT family's reading turned into "?"
};

void CheckReadings(const Readings& readings, Findings* findings);
