#include "tests/support/run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/support/files.h"

namespace mirva::test {

namespace {

std::string quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

RunResult runMirva(const std::vector<std::string>& args, const std::string& workingDir)
{
    const char* binary = std::getenv("MIRVA_BINARY");
    if (!binary)
        throw std::runtime_error("MIRVA_BINARY is not set (run the tests through ctest)");
    TempDir capture;
    std::string command = "cd " + quote(workingDir) + " && " + quote(binary);
    for (const std::string& arg : args)
        command += " " + quote(arg);
    command += " >" + quote(capture.file("out")) + " 2>" + quote(capture.file("err"));
    const int status = std::system(command.c_str());
    RunResult result;
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.out = readText(capture.file("out"));
    result.err = readText(capture.file("err"));
    return result;
}

}  // namespace mirva::test
