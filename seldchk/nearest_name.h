// The known name nearest to a misspelt one, for "did you mean ...?".
#pragma once

#include <cstddef>

// Differences between name (length bytes) and candidate, letter case
// ignored: characters put in, left out or changed. Stops counting at
// kFarApart.
constexpr size_t kFarApart = 3;
size_t NameDistance(const char* name, size_t length, const char* candidate);

// The candidate that differs least from name (the first of equals), or
// null when even the nearest differs in kFarApart characters or more, or in
// as many as name has.
const char* NearestName(const char* name, size_t length,
                        const char* const* candidates, size_t count);
