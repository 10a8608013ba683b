// The known name nearest to a misspelt one, for "did you mean ...?".
#pragma once

#include <string>
#include <vector>

// The candidate that differs least from name (letter case ignored), or ""
// when even the nearest differs in more than two characters or in as many
// characters as name has.
std::string NearestName(const std::string& name,
                        const std::vector<std::string>& candidates);

// Differences between a and b, letter case ignored.
size_t NameDistance(const std::string& a, const std::string& b);
