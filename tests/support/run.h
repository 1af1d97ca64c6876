#pragma once
// Runs the built `mirva` executable (its path comes from the MIRVA_BINARY environment
// variable that ctest sets) and captures what it printed and its exit code.
#include <string>
#include <vector>

namespace mirva::test {

struct RunResult {
    int exitCode = -1;      // -1 when it ended by a signal
    int signal = 0;
    std::string out;
    std::string err;
};

RunResult runMirva(const std::vector<std::string>& args, const std::string& workingDir = ".");

}  // namespace mirva::test
