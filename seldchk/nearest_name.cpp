#include "seldchk/nearest_name.h"

#include <cstring>

#include "platform/platform.h"

namespace {

// The longest candidate compared; known names are far shorter.
constexpr size_t kLongestCandidate = 63;

}  // namespace

size_t NameDistance(const char* name, size_t length, const char* candidate) {
  size_t other = strlen(candidate);
  size_t apart = length > other ? length - other : other - length;
  if (apart >= kFarApart || other > kLongestCandidate) return kFarApart;
  // One row of the edit-distance table: row[j] for candidate's first j.
  size_t row[kLongestCandidate + 1];
  for (size_t j = 0; j <= other; ++j) row[j] = j;
  for (size_t i = 1; i <= length; ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= other; ++j) {
      size_t above = row[j];
      bool same = plat::UpperAscii(name[i - 1]) ==
                  plat::UpperAscii(candidate[j - 1]);
      size_t best = diagonal + (same ? 0 : 1);
      if (above + 1 < best) best = above + 1;
      if (row[j - 1] + 1 < best) best = row[j - 1] + 1;
      row[j] = best;
      diagonal = above;
    }
  }
  return row[other] < kFarApart ? row[other] : kFarApart;
}

const char* NearestName(const char* name, size_t length,
                        const char* const* candidates, size_t count) {
  const char* best = nullptr;
  size_t bestDistance = kFarApart;
  for (size_t i = 0; i < count; ++i) {
    size_t distance = NameDistance(name, length, candidates[i]);
    if (distance < bestDistance && distance < length) {
      best = candidates[i];
      bestDistance = distance;
    }
  }
  return best;
}
