#pragma once
// Runs the built `mirva` executable (its path comes from the MIRVA_BINARY environment
// variable that ctest sets), or another program, and captures what it printed and its
// exit code.
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/support/files.h"

namespace mirva::test {

struct RunResult {
    int exitCode = -1;      // -1 when it ended by a signal
    int signal = 0;
    std::string out;
    std::string err;
};

RunResult runMirva(const std::vector<std::string>& args, const std::string& workingDir = ".");
// `command` is the program (found on the PATH) and its arguments.
RunResult runProgram(const std::vector<std::string>& command, const std::string& workingDir = ".");

// Whether `text` is `pattern`, where each '*' of the pattern stands for any text (the
// parts of an output that vary, such as a decoder's length or a usage after a message).
bool matches(const std::string& text, const std::string& pattern);

// The built `mirva` started in the background (for tests that drive its window). It
// inherits the environment; what it prints is kept in files. Dropped while it still runs,
// it is killed, so a failing test never leaves it behind.
class MirvaProcess {
public:
    MirvaProcess(const std::vector<std::string>& args, const std::string& workingDir);
    ~MirvaProcess();
    MirvaProcess(const MirvaProcess&) = delete;
    MirvaProcess& operator=(const MirvaProcess&) = delete;

    // Waits up to `seconds` for the end: the exit code (-1 for a signal), or nothing
    // while it still runs.
    std::optional<int> wait(double seconds);
    bool running();
    std::string out() const { return readText(capture_.file("out")); }
    std::string err() const { return readText(capture_.file("err")); }

private:
    TempDir capture_;
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

}  // namespace mirva::test
