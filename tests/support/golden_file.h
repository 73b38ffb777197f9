// Expected values that pin the game's behaviour, kept as text files in tests/data/golden/:
// one line per value, its name, a space, then the value. A deliberate change of behaviour
// is taken in by running the test with VOLTRAX_UPDATE_GOLDEN=1, which rewrites the file.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vx::testing {

using NamedValues = std::vector<std::pair<std::string, std::string>>;

// Compares actual with the golden file `name` (a file name in tests/data/golden/). Returns
// "" when every value agrees, otherwise a report with one "- name expected" / "+ name
// actual" pair per difference (a missing or extra name shows one side). With
// VOLTRAX_UPDATE_GOLDEN=1 it writes actual into the file instead and returns "".
std::string CompareWithGolden(const std::string& name, const NamedValues& actual);

}  // namespace vx::testing
