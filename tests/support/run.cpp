#include "tests/support/run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "tests/support/files.h"

namespace mirva::test {

namespace {

// The built mirva with `args`.
std::vector<std::string> mirvaCommand(const std::vector<std::string>& args)
{
    const char* binary = std::getenv("MIRVA_BINARY");
    if (!binary)
        throw std::runtime_error("MIRVA_BINARY is not set (run the tests through ctest)");
    std::vector<std::string> command{binary};
    command.insert(command.end(), args.begin(), args.end());
    return command;
}

// Starts `command` (a program found on the PATH and its arguments) in `workingDir`, what
// it prints going into the files `out` and `err`. Everything the child needs is made
// before the fork: it only changes folder, opens its two files and executes. It ends with
// the test, even when the test itself is killed (a ctest time-out).
pid_t start(std::vector<std::string> command, const std::string& workingDir, const std::string& out,
            const std::string& err)
{
    std::vector<char*> argv;
    for (std::string& word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int outFile = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(workingDir.c_str()) != 0 || outFile < 0 || errFile < 0 || dup2(outFile, 1) < 0 ||
            dup2(errFile, 2) < 0)
            _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

}  // namespace

RunResult runMirva(const std::vector<std::string>& args, const std::string& workingDir)
{
    return runProgram(mirvaCommand(args), workingDir);
}

RunResult runProgram(const std::vector<std::string>& command, const std::string& workingDir)
{
    TempDir capture;
    int status = 0;
    waitpid(start(command, workingDir, capture.file("out"), capture.file("err")), &status, 0);
    RunResult result;
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.out = readText(capture.file("out"));
    result.err = readText(capture.file("err"));
    return result;
}

bool matches(const std::string& text, const std::string& pattern)
{
    const std::size_t star = pattern.find('*');
    if (star == std::string::npos)
        return text == pattern;
    if (text.compare(0, star, pattern, 0, star) != 0)
        return false;
    for (std::size_t at = star; at <= text.size(); ++at)
        if (matches(text.substr(at), pattern.substr(star + 1)))
            return true;
    return false;
}

MirvaProcess::MirvaProcess(const std::vector<std::string>& args, const std::string& workingDir)
    : pid_(start(mirvaCommand(args), workingDir, capture_.file("out"), capture_.file("err")))
{
}

MirvaProcess::~MirvaProcess()
{
    if (running()) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

bool MirvaProcess::running()
{
    if (exitCode_ || pid_ <= 0)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_)
        return true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

std::optional<int> MirvaProcess::wait(double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    running();
    return exitCode_;
}

}  // namespace mirva::test
