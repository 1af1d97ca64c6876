#pragma once
// `mirva inspect FILE ...`: facts about a data file in plain text, for people and tests.
#include <string>
#include <vector>

namespace mirva {

// Arguments after the word "inspect". Returns the exit code; file problems are fatal.
int inspect(const std::vector<std::string>& args);

}  // namespace mirva
