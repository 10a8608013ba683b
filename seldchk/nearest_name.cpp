#include "seldchk/nearest_name.h"

#include <algorithm>

#include "seldchk/ini_document.h"

size_t NameDistance(const std::string& first, const std::string& second) {
  std::string a = UpperName(first);
  std::string b = UpperName(second);
  // Edit distance: characters put in, left out or changed.
  std::vector<std::vector<size_t>> d(a.size() + 1,
                                     std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                          d[i - 1][j - 1] + cost});
    }
  }
  return d[a.size()][b.size()];
}

std::string NearestName(const std::string& name,
                        const std::vector<std::string>& candidates) {
  std::string best;
  size_t bestDistance = 3;
  for (const std::string& candidate : candidates) {
    size_t distance = NameDistance(name, candidate);
    if (distance < bestDistance && distance < name.size()) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}
