#pragma once
// `mirva check SCRIPT`: loads a script exactly as the show does, without a window, sound
// output or graphics device. A script error prints its message and ends with code 255
// (the fatal path); a script that loads prints a short summary and returns 0. A script
// that begins with `Info` writes "parameters.txt" as the show would.
#include <string>
#include <vector>

namespace mirva {

int check(const std::vector<std::string>& args);

}  // namespace mirva
